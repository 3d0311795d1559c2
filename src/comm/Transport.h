#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace voltaris {

// The byte stream to the instruments: a serial port, RTU frames carried over TCP by a
// serial-to-Ethernet gateway, or an in-process simulated line. WirrelObj sits on top.
// Every port fault is translated into one Fault in one place (the transport), with a text
// that tells the user what to do.
class Transport : public QObject {
    Q_OBJECT
public:
    enum class Fault {
        None,
        NotFound,          // no such device or host
        PermissionDenied,  // the user may not open the device (e.g. not in group dialout)
        InUse,             // another program has the port (or holds its lock file)
        Unplugged,         // the adapter went away while open; the port is closed
        LineError,         // parity, framing, overrun or break on the line
        EndOfFile,         // the other end closed the stream
        Unsupported,       // an operation the device cannot do (control lines on a pty)
        Other,
    };
    Q_ENUM(Fault)

    enum class Parity { None, Even, Odd };
    enum class StopBits { One, Two };

    struct LineSettings {
        qint32 baudRate = 9600;
        int dataBits = 8;
        Parity parity = Parity::None;
        StopBits stopBits = StopBits::One;
        bool operator==(const LineSettings&) const = default;
    };

    using QObject::QObject;
    ~Transport() override = default;

    // A name for messages and the trace: the device path or tcp://host:port.
    virtual QString name() const = 0;
    // Opens the line; on failure returns false and leaves the reason in lastFault() and
    // lastError() (a text for the user, naming the device).
    virtual bool open(const LineSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True while an open that returned true is still being completed (a TCP connection
    // being made); it then ends open, or closed with lastFault() and lastError() set.
    virtual bool isOpening() const { return false; }
    // Changes the line settings of an open port.
    virtual bool applySettings(const LineSettings& settings) = 0;
    virtual LineSettings settings() const = 0;

    // Queues bytes for sending; bytesWritten() tells when they have left.
    virtual qint64 write(const QByteArray& bytes) = 0;
    virtual QByteArray readAll() = 0;
    // Drops whatever arrived and was not read (stale bytes before a new request).
    virtual void discardInput() = 0;

    // Control and status lines; false from a setter when the device does not support it.
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;
    virtual bool dtr() const = 0;
    virtual bool rts() const = 0;
    virtual bool cts() const = 0;
    virtual bool dsr() const = 0;
    virtual bool cd() const = 0;

    Fault lastFault() const { return m_lastFault; }
    QString lastError() const { return m_lastError; }

signals:
    void readyRead();
    void bytesWritten(qint64 count);
    // A fault while open. Unplugged and EndOfFile come once; the transport is then closed.
    void faultOccurred(voltaris::Transport::Fault fault, const QString& text);

protected:
    void setFault(Fault fault, const QString& text) {
        m_lastFault = fault;
        m_lastError = text;
    }

private:
    Fault m_lastFault = Fault::None;
    QString m_lastError;
};

}  // namespace voltaris
