#pragma once

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "comm/WirrelObj.h"

namespace voltaris {
class Archive;
class Clock;
class CCommConfig;
class CNetworkAddMsgSetup;
class TransferProcedure;
struct EngineOutcome;
}  // namespace voltaris

namespace voltaris::controls {
class LinkTrayIcon;
}

namespace voltaris::shell {

// What the instrument windows talk over: the clock their waits run on (null: the real one)
// and how they make a port (empty: by name, a device, COMn or tcp://host:port). Tests and the
// demonstration put a simulated line here.
struct InstrumentLine {
    Clock* clock = nullptr;
    WirrelObj::TransportFactory factory;
};

// The modal window of one transfer (write, read or a reset): the connection line, the
// operation line, a progress bar and Cancel over the transfer procedure. It starts the
// procedure on its first showing and closes itself when the procedure has finished; Cancel,
// Esc and the close box cancel it and the window closes once it has ended. exec() gives
// Accepted when the operation completed.
// Order of use: set Action and (read, write) IDProgramma, Create, exec, ReturnValue.
class FSerialProgSetup : public QDialog {
    Q_OBJECT
public:
    explicit FSerialProgSetup(Archive& archive, const InstrumentLine& line = {},
                              QWidget* parent = nullptr);
    // Deleting the window while the procedure runs cancels it; nothing is stored half-way.
    ~FSerialProgSetup() override;

    // -2 read, -1 write (the initial value), 0..7 a reset.
    qint32 Action() const;
    void setAction(qint32 action);
    qint32 IDProgramma() const;
    void setIDProgramma(qint32 id);
    // Keeps both records (the caller's; the detected address is written into `network`),
    // prepares the link with the link mode of the settings. Returns true.
    bool Create(CCommConfig& comm, CNetworkAddMsgSetup& network);
    // After the window has closed: whether the operation completed.
    bool ReturnValue() const;

    TransferProcedure& procedure() { return *m_procedure; }
    // The tray icon that follows the line.
    controls::LinkTrayIcon& trayIcon() { return *m_tray; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public slots:
    // Esc: as Cancel.
    void reject() override;

private:
    void Cancel();
    void OnFinished(const EngineOutcome& outcome);

    struct Message {
        int titleId;
        QString text;
    };

    std::unique_ptr<WirrelObj> m_component;
    std::unique_ptr<TransferProcedure> m_procedure;
    std::unique_ptr<controls::LinkTrayIcon> m_tray;
    QLabel* Label1;
    QLabel* Label5;
    QProgressBar* ProgBarTransfer;
    QPushButton* cmdCancel;
    QList<Message> m_pending;
    bool m_started = false;
    bool m_ended = false;
};

}  // namespace voltaris::shell
