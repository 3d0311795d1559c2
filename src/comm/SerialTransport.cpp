#include "comm/SerialTransport.h"

#include <poll.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "base/CTraceCode.h"
#include "comm/PortMessages.h"

namespace voltaris {

namespace {

// The folders QSerialPort and the classic serial programs keep their lock files in.
const QStringList& lockFolders() {
    static const QStringList folders = [] {
        QStringList list{QStringLiteral("/var/lock"),
                         QStringLiteral("/etc/locks"),
                         QStringLiteral("/var/spool/locks"),
                         QStringLiteral("/var/spool/uucp"),
                         QStringLiteral("/tmp"),
                         QStringLiteral("/var/tmp"),
                         QStringLiteral("/var/lock/lockdev"),
                         QStringLiteral("/run/lock")};
        if (!list.contains(QDir::tempPath()))
            list.append(QDir::tempPath());
        return list;
    }();
    return folders;
}

// The process id of an ASCII lock file: the first line, blanks allowed around it (UUCP
// style "      1234", or QLockFile's "1234\nname\nhost"). 0 when it is not readable.
qint64 lockPid(const QByteArray& content) {
    const QByteArray first = content.left(content.indexOf('\n')).trimmed();
    bool ok = false;
    const qint64 pid = first.toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

bool processRunning(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

QSerialPort::Parity qtParity(Transport::Parity p) {
    switch (p) {
        case Transport::Parity::Even:
            return QSerialPort::EvenParity;
        case Transport::Parity::Odd:
            return QSerialPort::OddParity;
        case Transport::Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

}  // namespace

SerialTransport::SerialTransport(const QString& devicePath, QObject* parent)
    : Transport(parent), m_path(devicePath), m_port(std::make_unique<QSerialPort>()) {
    m_port->setPortName(m_path);
    connect(m_port.get(), &QSerialPort::readyRead, this, &Transport::readyRead);
    connect(m_port.get(), &QSerialPort::bytesWritten, this, &Transport::bytesWritten);
    connect(m_port.get(), &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() {
    if (m_port->isOpen())
        m_port->close();
}

QStringList SerialTransport::lockFileCandidates(const QString& devicePath) {
    QString name = devicePath.startsWith(QLatin1String("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList files;
    for (const QString& folder : lockFolders())
        files.append(folder + QStringLiteral("/LCK..") + name);
    return files;
}

bool SerialTransport::checkLockFiles() {
    for (const QString& file : lockFileCandidates(m_path)) {
        QFile f(file);
        if (!f.exists())
            continue;
        if (!f.open(QIODevice::ReadOnly)) {
            setFault(Fault::InUse, PortMessages::Locked(m_path, file));
            return false;
        }
        const qint64 pid = lockPid(f.read(128));
        f.close();
        if (pid == 0)
            continue;  // a format we cannot read: QSerialPort judges it
        if (processRunning(pid)) {
            setFault(Fault::InUse, PortMessages::Locked(m_path, pid, file));
            return false;
        }
        if (QFile::remove(file))
            g_Trace().BugMessage(QStringLiteral("Rimosso file di lock orfano ") + file);
    }
    return true;
}

bool SerialTransport::open(const LineSettings& settings) {
    if (m_port->isOpen()) {
        setFault(Fault::InUse, PortMessages::NotAvailable(m_path));
        return false;
    }
    m_settings = settings;
    m_lost = false;
    m_ioFaultReported = false;
    if (!QFileInfo::exists(m_path)) {
        setFault(Fault::NotFound, PortMessages::NotFound(m_path));
        return false;
    }
    if (!checkLockFiles())
        return false;
    applyTo(*m_port, settings);
    if (!m_port->open(QIODevice::ReadWrite)) {
        failOpen();
        return false;
    }
    m_hangUp = new QSocketNotifier(m_port->handle(), QSocketNotifier::Read, this);
    connect(m_hangUp, &QSocketNotifier::activated, this, &SerialTransport::checkHangUp);
    setFault(Fault::None, {});
    return true;
}

void SerialTransport::failOpen() {
    const QSerialPort::SerialPortError error = m_port->error();
    const QString detail = m_port->errorString();
    m_port->clearError();
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            setFault(Fault::NotFound, PortMessages::NotFound(m_path));
            return;
        case QSerialPort::PermissionError:
            for (const QString& file : lockFileCandidates(m_path)) {
                if (QFileInfo::exists(file)) {
                    setFault(Fault::InUse, PortMessages::Locked(m_path, file));
                    return;
                }
            }
            if (::access(m_path.toLocal8Bit().constData(), R_OK | W_OK) != 0 &&
                (errno == EACCES || errno == EPERM)) {
                setFault(Fault::PermissionDenied, PortMessages::PermissionDenied(m_path));
                return;
            }
            // Opened exclusively by another program (EBUSY).
            setFault(Fault::InUse, PortMessages::NotAvailable(m_path));
            return;
        default:
            setFault(Fault::Other, PortMessages::NotAvailable(m_path) + QStringLiteral("\n\r") +
                                       PortMessages::CommunicationError(m_path, detail));
            return;
    }
}

void SerialTransport::close() {
    ++m_generation;
    if (m_hangUp) {
        m_hangUp->setEnabled(false);
        m_hangUp->deleteLater();
        m_hangUp = nullptr;
    }
    if (m_port->isOpen())
        m_port->close();
}

bool SerialTransport::isOpen() const {
    return m_port->isOpen();
}

bool SerialTransport::applyTo(QSerialPort& port, const LineSettings& s) {
    m_quiet = true;
    bool ok = port.setBaudRate(s.baudRate);
    ok = port.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) && ok;
    ok = port.setParity(qtParity(s.parity)) && ok;
    ok = port.setStopBits(s.stopBits == StopBits::Two ? QSerialPort::TwoStop
                                                      : QSerialPort::OneStop) &&
         ok;
    ok = port.setFlowControl(QSerialPort::NoFlowControl) && ok;
    m_quiet = false;
    if (!ok) {
        setFault(Fault::Unsupported, port.errorString());
        port.clearError();
    }
    return ok;
}

bool SerialTransport::applySettings(const LineSettings& settings) {
    m_settings = settings;
    return applyTo(*m_port, settings);
}

qint64 SerialTransport::write(const QByteArray& bytes) {
    m_ioFaultReported = false;
    if (!m_port->isOpen())
        return -1;
    return m_port->write(bytes);
}

QByteArray SerialTransport::readAll() {
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

void SerialTransport::discardInput() {
    if (!m_port->isOpen())
        return;
    m_quiet = true;
    m_port->readAll();
    m_port->clear(QSerialPort::Input);
    m_quiet = false;
    m_port->clearError();
}

bool SerialTransport::setDtr(bool on) {
    m_dtr = on;
    if (!m_port->isOpen())
        return false;
    m_quiet = true;
    const bool ok = m_port->setDataTerminalReady(on);
    m_quiet = false;
    if (!ok) {
        setFault(Fault::Unsupported, m_port->errorString());
        m_port->clearError();
    }
    return ok;
}

bool SerialTransport::setRts(bool on) {
    m_rts = on;
    if (!m_port->isOpen())
        return false;
    m_quiet = true;
    const bool ok = m_port->setRequestToSend(on);
    m_quiet = false;
    if (!ok) {
        setFault(Fault::Unsupported, m_port->errorString());
        m_port->clearError();
    }
    return ok;
}

bool SerialTransport::pinout(QSerialPort::PinoutSignal signal) const {
    if (!m_port->isOpen())
        return false;
    m_quiet = true;
    const QSerialPort::PinoutSignals signals_ = m_port->pinoutSignals();
    m_quiet = false;
    if (m_port->error() != QSerialPort::NoError)
        m_port->clearError();
    return signals_.testFlag(signal);
}

bool SerialTransport::cts() const {
    return pinout(QSerialPort::ClearToSendSignal);
}
bool SerialTransport::dsr() const {
    return pinout(QSerialPort::DataSetReadySignal);
}
bool SerialTransport::cd() const {
    return pinout(QSerialPort::DataCarrierDetectSignal);
}

bool SerialTransport::hungUp() const {
    pollfd pfd{static_cast<int>(m_port->handle()), POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL));
}

void SerialTransport::loseLine() {
    if (QFileInfo::exists(m_path))
        lose(Fault::EndOfFile, PortMessages::ClosedAtOtherEnd(m_path));
    else
        lose(Fault::Unplugged, PortMessages::ConnectionLost(m_path));
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
    if (m_quiet || m_lost || !m_port->isOpen())
        return;
    switch (error) {
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::UnknownError:
            // A hung-up line (the other end closed, the adapter gone) shows up as one of these,
            // repeated for as long as the port stays open: close it once.
            if (hungUp()) {
                loseLine();
                return;
            }
            if (error == QSerialPort::ResourceError) {
                lose(Fault::Unplugged, PortMessages::ConnectionLost(m_path));
                return;
            }
            if (!m_ioFaultReported) {
                m_ioFaultReported = true;
                const QString text =
                    PortMessages::CommunicationError(m_path, m_port->errorString());
                setFault(Fault::Other, text);
                emit faultOccurred(Fault::Other, text);
            }
            return;
        default:
            // Unsupported operations (control lines of a pseudo-terminal) and timeouts leave
            // the port as it is; the caller has its answer from the call that failed.
            return;
    }
}

void SerialTransport::checkHangUp() {
    if (m_lost || !m_port->isOpen())
        return;
    // A hung-up terminal reads as end of file for ever; QSerialPort would keep polling it.
    if (hungUp())
        loseLine();
}

void SerialTransport::lose(Fault fault, const QString& text) {
    m_lost = true;
    if (m_hangUp)
        m_hangUp->setEnabled(false);
    setFault(fault, text);
    const quint64 generation = m_generation;
    // Closing from inside QSerialPort's own notification is not safe: close right after it.
    QMetaObject::invokeMethod(
        this,
        [this, fault, text, generation] {
            if (generation != m_generation)
                return;
            close();
            emit faultOccurred(fault, text);
        },
        Qt::QueuedConnection);
}

}  // namespace voltaris
