#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTableWidget>
#include <QToolBar>
#include <memory>

#include "controls/CStatusBarHelp.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/COption.h"
#include "shell/FSerialProgSetup.h"
#include "shell/ShellRules.h"

namespace voltaris {
class Archive;
}

namespace voltaris::shell {

// The program's main window: menus, toolbar, the configuration list and the status help.
// It owns the three communication and option records for the whole run.
class FMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FMain(Archive& archive, QWidget* parent = nullptr);
    ~FMain() override;

    // The id of the configuration the commands act on (the highlighted row's); -1 none.
    qint32 IDProgramma() const { return m_IDProgramma; }
    // Highlights the row of `id` (the first row when it is not listed).
    void SelectProgram(qint32 id);

    // The archive commands, as their menu items and buttons run them.
    void NewProgram();
    void EditProgram();
    void DeleteProgram();
    void ImportFile();
    void ExportFile();
    void ShowAbout();
    // What COM1 .. COM4 stand for on this PC.
    void ShowPortMap();
    // The communication wizard, then the instrument's live values.
    void ViewInstrumentData();
    // The instrument commands: each runs the communication wizard, then the transfer window.
    void SendProgram();
    void ModifyInstrument();
    // Reset code 0..7.
    void ResetInstrument(qint32 code);
    // What the instrument windows talk over (tests and the demonstration use a simulated
    // line).
    void setInstrumentLine(const InstrumentLine& line) { m_line = line; }
    // A note that stays on the status bar (the demonstration's port).
    void ShowNote(const QString& text);
    // Runs the command of a toolbar key, with its trace line.
    void ButtonClick(const QString& key);

    CCommConfig m_CommConfigSetup;
    CNetworkAddMsgSetup m_NetworkAddMsg;
    COption m_Option;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void LoadToolBarToolTip();
    void LoadForm();
    // Re-reads the list and highlights `select` (or the first row when it is gone).
    void Requery(qint32 select);
    void UpdateCommands();
    void OnHelpID(qint16 id);
    QAction* Item(const char* name) const;
    void RestorePlacement();
    void SavePlacement();
    // The configuration's name as listed.
    QString ProgramName(qint32 id) const;
    // Runs the transfer window for `action` on the two records (on a copy of the network
    // record over the auxiliary port, whose fixed address must not replace the installer's
    // network choices); whether the operation completed.
    bool RunTransfer(qint32 action, qint32 id);

    Archive& m_archive;
    qint32 m_IDProgramma = -1;
    bool m_Loading = false;
    QTableWidget* dgProgrammi;
    QToolBar* tbToolBar;
    QLabel* m_statusText;
    std::unique_ptr<controls::CStatusBarHelp> m_StatusBarHelp;
    WindowPlacement m_placement;
    InstrumentLine m_line;
};

}  // namespace voltaris::shell
