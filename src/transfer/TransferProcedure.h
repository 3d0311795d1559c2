#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>
#include <memory>

#include "base/Engine.h"
#include "transfer/TransferPlan.h"

namespace voltaris {

class Archive;
class CCommConfig;
class CGestioneMemMap;
class CNetworkAddMsgSetup;
class CWirrel;
class Timer;
class WirrelObj;

// Writes a configuration into the instrument(s), reads the instrument's configuration
// back into the archive, or sends a reset command: finds the baud rate and the network
// address, checks the model, then runs the operation, one exchange at a time through
// CWirrel. An Engine: start() returns at once, the caption lines, progress and messages
// (title 208) come as signals, finished() tells the outcome.
// Order of use: set Action and (read, write) IDProgramma, Create, start.
class TransferProcedure : public Engine {
    Q_OBJECT
public:
    enum ActionCode : qint32 { ReadConfiguration = -2, WriteConfiguration = -1 };
    static constexpr int kTitleId = 208;

    // The component (the line) and the archive are the caller's and must outlive this.
    TransferProcedure(Clock& clock, WirrelObj& component, Archive& archive,
                      QObject* parent = nullptr);
    ~TransferProcedure() override;

    qint32 Action() const { return m_Action; }
    void setAction(qint32 action) { m_Action = action; }
    qint32 IDProgramma() const { return m_IDProgramma; }
    void setIDProgramma(qint32 id) { m_IDProgramma = id; }
    // True until the operation failed or was cancelled.
    bool ReturnValue() const { return m_ReturnValue; }

    // How one address of a write or a reset ended.
    struct AddressOutcome {
        enum Result { Done, Failed, NotTried };
        qint16 address = 0;
        Result result = NotTried;
        QString cause;  // why it failed (the line added to the message); empty otherwise
    };
    // Write and reset over a network: an address that fails does not stop the others (each
    // failure still gets its message); the operation fails when any address failed.
    void setKeepGoing(bool on) { m_keepGoing = on; }
    bool KeepGoing() const { return m_keepGoing; }
    // Every address a write or a reset was to visit, in order, with its outcome.
    const QList<AddressOutcome>& AddressOutcomes() const { return m_outcomes; }
    // The write stopped (cancelled or failed) after the instrument at this address had taken
    // part of the configuration; 0 when no instrument was left half-written.
    qint16 PartlyWrittenAddress() const { return m_partlyWritten; }

    // Keeps both records (they stay the caller's: the detected address is written into
    // `network`); for the auxiliary port sets network InterfaceType 0, ModeConfig 0,
    // SelNetworkAdd 1 and NetworkAdd 255. Creates the link. Returns true.
    bool Create(CCommConfig& comm, CNetworkAddMsgSetup& network);
    // The link, for its port name and tick mode; valid after Create.
    CWirrel& link();

    // Folder of "MemoryUser.mem" and "MemoryMap.mem"; the data folder unless set.
    void setFileFolder(const QString& folder) { m_fileFolder = folder; }
    // After writing each address, read back every register the write plan wrote and fail
    // when one differs (readBack tells which).
    void setVerifyAfterWrite(bool on) { m_verify = on; }

    // As the Cancel button: the running exchange ends with error 3, the operation ends,
    // no message. Safe at any time.
    void Cancel() { cancel(); }
    bool Cancelled() const { return isCancelled(); }

    // The memory map of the operation (after the conversion of a write or the blocks of a
    // read); null before.
    const CGestioneMemMap* memoryMap() const { return m_memMap.get(); }
    qint32 DetectedModel() const { return m_detectedModel; }
    quint8 CurrentAddress() const { return static_cast<quint8>(m_currentAddress); }

signals:
    // The read-back check of one address after writing: every register that differs (none:
    // the instrument holds what was written).
    void readBack(quint8 address, const QList<voltaris::RegisterDifference>& differences);

protected:
    Task<EngineOutcome::Status> run() override;
    void onCancel() override;
    void onEnded() override;

private:
    Task<bool> runOperation();
    Task<bool> findBaudRate(qint32& baudIndex);
    Task<bool> detectModel();
    Task<bool> readConfiguration();
    Task<bool> writeConfiguration();
    Task<bool> visitAddresses(qint32 configured);
    Task<bool> writeAddress(qint32 configured);
    Task<bool> resetAddress();
    Task<bool> writeBlocks(QList<PlannedWrite> plan);
    Task<bool> verifyBlocks(const QList<PlannedWrite>& plan);
    Task<bool> exchange(QByteArray request, int replyLength, QByteArray* reply = nullptr);
    Task<bool> readWords(quint16 reg, int count, QVector<qint16>& words);
    void followNewSpeed(qint16 speedCode);
    bool errorCheck();
    void showConnectionLine();
    void showMessage(int textId, const QString& text = {}, const QString& cause = {});
    QString linkFailureCause() const;
    QString addressesDoneLine() const;
    QString filePath(const QString& name) const;

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
    qint32 m_detectedModel = 0;
    bool m_verify = false;
    bool m_keepGoing = false;
    qint32 m_baudIndex = 0;
    qint16 m_partlyWritten = 0;
    QList<AddressOutcome> m_outcomes;
    QString m_lastCause;
    QString m_fileFolder;
};

}  // namespace voltaris

Q_DECLARE_METATYPE(voltaris::RegisterDifference)
