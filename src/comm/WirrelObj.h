#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "base/Errors.h"
#include "comm/Transport.h"

namespace voltaris {

class Clock;

// An error of the communication component: a property value it does not know, a port that
// does not open (the message says why), a telephone line on a system without one.
class ComponentError : public IoError {
public:
    using IoError::IoError;
};

// The communication component: owns the line (a Transport) and carries one request and its
// reply at a time. StartTxRx sends TxFrame and collects exactly BytesToReceive bytes into
// RxFrame, then raises CommStatus 15. Line faults are raised as CommStatus with the codes
// below; nothing is raised for a reply that does not come. Events are raised from the
// clock (as soon as the waiting code yields), never from inside a call.
class WirrelObj : public QObject {
    Q_OBJECT
public:
    // CommStatus codes.
    enum CommStatusCode : qint32 {
        csIoError = 3,      // the line failed to read or write
        csLineError = 5,    // parity, framing, overrun or break
        csNotSent = 7,      // StartTxRx on a port that is not open, or the write failed
        csEndOfFile = 10,   // the other end closed the line
        csPortLost = 12,    // the adapter went away; the port is closed
        csRxComplete = 15,  // RxFrame holds the reply
    };

    // BaudRate codes.
    static constexpr qint32 kBaudCodes[] = {1200,  2400,  4800,  9600,  14400,
                                            19200, 38400, 56000, 57600, 115200};
    // Parity codes: 0 none, 1 odd, 2 even. StopBits codes: 0 one, 2 two (1, one and a half,
    // is refused).
    enum ParityCode : qint32 { parNone = 0, parOdd = 1, parEven = 2 };
    enum StopBitsCode : qint32 { stopOne = 0, stopOneAndHalf = 1, stopTwo = 2 };

    using TransportFactory = std::function<std::unique_ptr<Transport>(const QString& portName)>;

    // Opens ports by name through CreateTransport (device path, COMn, tcp://host:port).
    explicit WirrelObj(Clock& clock, QObject* parent = nullptr);
    // Always uses `transport` (not owned), whatever the port index or name.
    WirrelObj(Clock& clock, Transport& transport, QObject* parent = nullptr);
    ~WirrelObj() override;

    // How ports are made when no fixed transport is given.
    void setTransportFactory(TransportFactory factory);
    // The line in use, or null before the first open.
    Transport* transport() const { return m_transport; }

    qint32 ConnectionType() const { return m_connectionType; }
    void setConnectionType(qint32 type);
    // 0 for COM1; the device comes from the settings store unless PortName is set.
    qint32 PortIndex() const { return m_portIndex; }
    void setPortIndex(qint32 index) { m_portIndex = index; }
    // A device path, COMn or tcp://host:port that overrides PortIndex; empty: use PortIndex.
    QString PortName() const { return m_portName; }
    void setPortName(const QString& name) { m_portName = name; }
    // The port the next open uses.
    QString effectivePortName() const;

    qint32 BaudRate() const { return m_baudCode; }
    void setBaudRate(qint32 code);
    qint32 DataBits() const { return m_dataBits; }
    void setDataBits(qint32 bits);
    qint32 Parity() const { return m_parityCode; }
    void setParity(qint32 code);
    qint32 StopBits() const { return m_stopBitsCode; }
    void setStopBits(qint32 code);

    QString PhoneNumber() const { return m_phoneNumber; }
    void setPhoneNumber(const QString& v) { m_phoneNumber = v; }
    QString CountryCode() const { return m_countryCode; }
    void setCountryCode(const QString& v) { m_countryCode = v; }
    QString AreaCode() const { return m_areaCode; }
    void setAreaCode(const QString& v) { m_areaCode = v; }
    bool UseDialingRules() const { return m_useDialingRules; }
    void setUseDialingRules(bool v) { m_useDialingRules = v; }
    QString CurrentLocation() const { return m_currentLocation; }
    void setCurrentLocation(const QString& v) { m_currentLocation = v; }
    QString CurrentDevice() const { return m_currentDevice; }
    void setCurrentDevice(const QString& v) { m_currentDevice = v; }

    // True opens the port (or dials); throws ComponentError when it cannot, with the
    // reason for the user. False closes it; closing a closed port does nothing.
    bool PortOpen() const;
    void setPortOpen(bool open);
    // True while the port is still being opened (a TCP connection being made).
    bool Busy() const;

    qint32 BytesToReceive() const { return m_bytesToReceive; }
    void setBytesToReceive(qint32 count) { m_bytesToReceive = count; }
    QByteArray TxFrame() const { return m_txFrame; }
    void setTxFrame(const QByteArray& frame) { m_txFrame = frame; }
    // Drops whatever is waiting on the line, sends TxFrame and collects BytesToReceive bytes.
    void StartTxRx();
    QByteArray RxFrame() const { return m_rxFrame; }
    // Bytes of the current reply collected so far; after a timeout, what came of it.
    qsizetype BytesCollected() const { return m_collected.size(); }
    // Ends a telephone connection or the collection in progress.
    void HangUp();

    qint16 InBufferSize() const { return m_inBufferSize; }
    void setInBufferSize(qint16 size) { m_inBufferSize = size; }
    qint16 OutBufferSize() const { return m_outBufferSize; }
    void setOutBufferSize(qint16 size) { m_outBufferSize = size; }

    // Control lines: set only while open; a device without them gets a trace line.
    bool DTR() const { return m_dtr; }
    void setDTR(bool on);
    bool RTS() const { return m_rts; }
    void setRTS(bool on);
    bool CTS() const;
    bool DSR() const;
    bool CD() const;

    // The line settings the codes stand for; throws ComponentError for an unknown code.
    Transport::LineSettings lineSettings() const;

signals:
    void CommStatus(qint32 code, const QString& text);
    void ModemConnected();
    void ModemDisconnected(qint32 cause);
    void TelephonyError(const QString& text);
    void TelephonyStatus(qint32 status);

private:
    void attach(Transport* transport);
    void onReadyRead();
    void onFault(Transport::Fault fault, const QString& text);
    // Raises CommStatus from the clock; a reply status is dropped when the port was closed,
    // opened or hung up meanwhile.
    void post(qint32 code, const QString& text, bool forThisSession);
    void applyLineSettings();

    Clock& m_clock;
    QPointer<Transport> m_fixed;
    bool m_hasFixed = false;
    std::unique_ptr<Transport> m_owned;
    QPointer<Transport> m_transport;
    TransportFactory m_factory;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    qint32 m_connectionType = 0;
    qint32 m_portIndex = 0;
    QString m_portName;
    qint32 m_baudCode = 3;
    qint32 m_dataBits = 8;
    qint32 m_parityCode = parNone;
    qint32 m_stopBitsCode = stopOne;
    QString m_phoneNumber, m_countryCode, m_areaCode, m_currentLocation, m_currentDevice;
    bool m_useDialingRules = false;

    qint32 m_bytesToReceive = 0;
    QByteArray m_txFrame;
    QByteArray m_rxFrame;
    QByteArray m_collected;
    bool m_collecting = false;
    quint64 m_session = 0;  // counts opens, closes and hang-ups

    // A request sent again after a timeout may be answered twice: once late, once for the
    // repeat. The copies still owed are recognised by their bytes and dropped while a
    // different request waits, so that a copy is never taken for another request's answer.
    void forgetLateCopies();
    QByteArray m_lastSent;
    bool m_lastAnswered = true;
    qint32 m_unanswered = 0;  // sends of m_lastSent with no reply yet
    QByteArray m_copyOf;      // the request whose reply may still come again ...
    QByteArray m_copy;        // ... that reply ...
    qint32 m_copiesOwed = 0;  // ... and how many more times

    qint16 m_inBufferSize = 1024;
    qint16 m_outBufferSize = 512;
    bool m_dtr = false;
    bool m_rts = false;
};

}  // namespace voltaris
