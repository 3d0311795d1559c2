#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <memory>

#include "comm/Transport.h"

class QSocketNotifier;

namespace voltaris {

// A serial device (a USB adapter, a built-in port, a pseudo-terminal) through QSerialPort.
// Opening refuses a port whose lock file names a running process and removes a lock file
// whose process has gone. While open, a hang-up or an unplugged adapter closes the port once
// and is reported once; control lines the device lacks are refused but never close it.
class SerialTransport : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(const QString& devicePath, QObject* parent = nullptr);
    ~SerialTransport() override;

    QString name() const override { return m_path; }
    bool open(const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override;
    bool applySettings(const LineSettings& settings) override;
    LineSettings settings() const override { return m_settings; }

    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override;

    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool dtr() const override { return m_dtr; }
    bool rts() const override { return m_rts; }
    bool cts() const override;
    bool dsr() const override;
    bool cd() const override;

    // The lock file another program would hold for `devicePath` ("LCK.." + the name
    // below /dev with '/' turned into '_') in each folder where such files live.
    static QStringList lockFileCandidates(const QString& devicePath);

private:
    void onError(QSerialPort::SerialPortError error);
    void checkHangUp();
    bool hungUp() const;
    // Reports the end of the line: EndOfFile while the device is there, else Unplugged.
    void loseLine();
    // Closes the port and reports `fault` once, after the current event has been handled.
    void lose(Fault fault, const QString& text);
    bool applyTo(QSerialPort& port, const LineSettings& settings);
    bool pinout(QSerialPort::PinoutSignal signal) const;
    // When a lock file names a running process, sets InUse and returns false; a lock file
    // of a process that has gone is removed.
    bool checkLockFiles();
    void failOpen();

    QString m_path;
    std::unique_ptr<QSerialPort> m_port;
    QSocketNotifier* m_hangUp = nullptr;
    LineSettings m_settings;
    bool m_dtr = false;
    bool m_rts = false;
    quint64 m_generation = 0;  // counts closes, so a late close of a lost port is dropped
    bool m_lost = false;
    bool m_ioFaultReported = false;
    mutable bool m_quiet = false;  // errors of a call that reports them itself
};

}  // namespace voltaris
