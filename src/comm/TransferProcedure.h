#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "base/UserMessages.h"

namespace voltaris {

class Archive;
class CCommConfig;
class CGestioneMemMap;
class CNetworkAddMsgSetup;
class CWirrel;
class Clock;
class Timer;
class WirrelObj;

// Writes a configuration into the instrument(s), reads the instrument's configuration
// back into the archive, or sends a reset command: finds the baud rate and the network
// address, checks the model, then runs the operation, one exchange at a time through
// CWirrel, yielding to the clock while it waits. Caption lines, progress and messages go
// out as signals; the messages also go to UserMessages::current() (title 208, warning).
// Order of use: set Action and (read, write) IDProgramma, Create, Run, read ReturnValue.
class TransferProcedure : public QObject {
    Q_OBJECT
public:
    enum ActionCode : qint32 { ReadConfiguration = -2, WriteConfiguration = -1 };

    // The component (the line) and the archive are the caller's and must outlive this.
    TransferProcedure(Clock& clock, WirrelObj& component, Archive& archive,
                      QObject* parent = nullptr);
    ~TransferProcedure() override;

    qint32 Action() const { return m_Action; }
    void setAction(qint32 action) { m_Action = action; }
    qint32 IDProgramma() const { return m_IDProgramma; }
    void setIDProgramma(qint32 id) { m_IDProgramma = id; }
    bool ReturnValue() const { return m_ReturnValue; }

    // Keeps both records (they stay the caller's: the detected address is written into
    // `network`); for the auxiliary port sets network InterfaceType 0, ModeConfig 0,
    // SelNetworkAdd 1 and NetworkAdd 255. Creates the link. Returns true.
    bool Create(CCommConfig& comm, CNetworkAddMsgSetup& network);
    // The link, for its port name and fast tick; valid after Create.
    CWirrel& link();

    // Folder of "MemoryUser.mem" and "MemoryMap.mem"; the data folder unless set.
    void setFileFolder(const QString& folder) { m_fileFolder = folder; }

    // Runs the whole operation (once) and returns ReturnValue. The link is closed when it
    // returns. Archive and file errors are rethrown after the link is closed.
    bool Run();
    // As the Cancel button: the running exchange ends with error 3, the operation ends,
    // no message. Safe at any time, also before Run.
    void Cancel();
    bool Cancelled() const { return m_cancelled; }

    // Called after each address was written and reset, at the address it now answers at;
    // returns false to fail the operation (the read-back check).
    using AfterWriteHook = std::function<bool(TransferProcedure&, quint8 address)>;
    void setAfterWriteHook(AfterWriteHook hook) { m_afterWrite = std::move(hook); }

    // One judged exchange on the open link (error check and message on failure); `reply`
    // gets the reply. For hooks that read more from the instrument.
    bool Exchange(const QByteArray& request, int replyLength, QByteArray* reply = nullptr);
    // The memory map of the operation (after the conversion of a write or the blocks of a
    // read); null before.
    const CGestioneMemMap* memoryMap() const { return m_memMap.get(); }
    qint32 DetectedModel() const { return m_detectedModel; }
    quint8 CurrentAddress() const { return static_cast<quint8>(m_currentAddress); }

signals:
    // Label1: the connection line.
    void connectionLine(const QString& text);
    // Label5: the operation line.
    void operationLine(const QString& text);
    void progress(int value, int minimum, int maximum);
    // A message shown to the user: its string-table id and text, the title id.
    void message(int textId, const QString& text, int titleId);
    void finished(bool ok);

private:
    bool runOperation();
    bool findBaudRate(qint32& baudIndex);
    bool scanAddresses();
    bool detectModel();
    bool readConfiguration();
    bool writeConfiguration();
    bool writeBlocks();
    bool resets();
    void followNewSpeed(qint16 speedCode);
    bool readWords(quint16 reg, int count, QVector<qint16>& words);
    qint32 rawExchange(const QByteArray& request, int replyLength);
    bool errorCheck();
    void showConnectionLine();
    void showMessage(int textId, const QString& text = {});
    void setProgress(int value, int minimum, int maximum);
    QString filePath(const QString& name) const;
    QList<qint16> addressRange() const;

    Clock& m_clock;
    WirrelObj& m_component;
    Archive& m_archive;
    std::unique_ptr<Timer> m_TimeOut;
    std::unique_ptr<Timer> m_Rs232Manager;
    std::unique_ptr<CWirrel> m_link;
    std::unique_ptr<CGestioneMemMap> m_memMap;
    CCommConfig* m_comm = nullptr;
    CNetworkAddMsgSetup* m_network = nullptr;

    bool m_ReturnValue = true;
    qint32 m_Action = WriteConfiguration;
    qint32 m_IDProgramma = -1;
    qint16 m_currentAddress = 0;
    qint16 m_lastAddress = 0;
    qint32 m_detectedModel = 0;
    bool m_started = false;
    bool m_cancelled = false;
    QString m_fileFolder;
    AfterWriteHook m_afterWrite;
    int m_progressMin = 0, m_progressMax = 0;
};

// One write request of a configuration transfer, in sending order.
struct PlannedWrite {
    QByteArray frame;
    QList<int> progressAfter;  // progress values (of 6) reached after it
    bool judged = true;        // false: sent, outcome ignored (the new baud rate)
    QString traceBefore;       // trace line written before it, or empty
    bool followSpeed = false;  // the link follows the speed written (a single instrument)
};

// The writes of the configuration blocks to `address` for an instrument reporting
// `detectedModel` (its low byte chooses the blocks), reached over `interfaceType`.
QList<PlannedWrite> PlanWrite(const CGestioneMemMap& map, quint8 address, qint32 detectedModel,
                              qint16 interfaceType);

// A name for a register of the configuration ("ParamMemMap(3)", "AlarmMemMap(17)", the
// special registers by what they do), for listings and differences.
QString RegisterName(quint16 reg);

// True when `reply` (CRC already checked) answers `request`: same address and function, the
// byte count of a read, the echo of a write. A foreign or stale frame is refused like a bad
// CRC, so the link asks again.
bool ReplyMatchesRequest(const QByteArray& request, const QByteArray& reply);

// The reset commands an Action 0..7 sends, in order, and its operation line id (232 + n).
QList<quint8> ResetCommandsForAction(qint32 action);

}  // namespace voltaris
