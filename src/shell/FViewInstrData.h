#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

#include "controls/CTextSpin.h"
#include "livedata/CInstrViewVar.h"
#include "shell/FSerialProgSetup.h"

namespace voltaris {
class CCommConfig;
class CNetworkAddMsgSetup;
class LivePoller;
class WirrelObj;
struct EngineOutcome;
}  // namespace voltaris

namespace voltaris::controls {
class LinkTrayIcon;
}

namespace voltaris::shell {

// The instrument's live values: three tabs of tables, the alarm lamps, the address to watch
// (a network's instruments one at a time), the automatic detection's bar; the caption is the
// progress line. A thin window over the live poller: it starts polling on its first showing
// and closes when polling ends; Close, Esc and the close box stop it.
class FViewInstrData : public QDialog {
    Q_OBJECT
public:
    explicit FViewInstrData(const InstrumentLine& line = {}, QWidget* parent = nullptr);
    ~FViewInstrData() override;

    // Keeps both records (the caller's). Returns true.
    bool Create(CCommConfig& comm, CNetworkAddMsgSetup& network);
    // After the window has closed: false once closed by the user or after a failure.
    bool ReturnValue() const;

    LivePoller& poller() { return *m_poller; }
    QTableWidget* grid(CInstrViewVar::Table t) const { return m_grids[int(t)]; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public slots:
    void reject() override;

private:
    void ShowTables();
    void ShowLamp(QLabel* lamp, quint32 colour);
    void OnFinished(const EngineOutcome& outcome);

    std::unique_ptr<WirrelObj> m_component;
    std::unique_ptr<LivePoller> m_poller;
    std::unique_ptr<controls::LinkTrayIcon> m_tray;
    QTableWidget* m_grids[CInstrViewVar::kTableCount] = {};
    QLabel* LedAlarm;
    QLabel* LedAlarmOut1;
    QLabel* LedAlarmOut2;
    QLabel* Label1;
    controls::CTextSpin m_SpinNetworkAdd;
    QLabel* lblSilent;
    QProgressBar* ProgBarAutoDetect;
    QPushButton* cmdClose;
    QList<std::pair<int, QString>> m_messages;  // title id, text
    bool m_started = false;
    bool m_finished = false;
    bool m_settingSpin = false;
};

}  // namespace voltaris::shell
