#include "comm/TcpTransport.h"

#include <QRegularExpression>

#include "comm/PortMessages.h"

namespace voltaris {

TcpTransport::TcpTransport(const QString& host, quint16 port, QObject* parent)
    : Transport(parent), m_host(host), m_portNumber(port) {
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_opening)
            failOpening(QAbstractSocket::tr("Connection timed out"));
    });
    connect(&m_socket, &QTcpSocket::connected, this, &TcpTransport::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpTransport::onError);
    connect(&m_socket, &QTcpSocket::readyRead, this, &Transport::readyRead);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &Transport::bytesWritten);
}

TcpTransport::~TcpTransport() {
    m_socket.disconnect(this);
    m_socket.abort();
}

bool TcpTransport::parseUrl(const QString& url, QString* host, quint16* port) {
    static const QRegularExpression re(
        QStringLiteral("^tcp://(\\[[0-9A-Fa-f:.]+\\]|[A-Za-z0-9._-]+):([0-9]{1,5})$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = re.match(url.trimmed());
    if (!match.hasMatch())
        return false;
    bool ok = false;
    const uint number = match.captured(2).toUInt(&ok);
    if (!ok || number == 0 || number > 65535)
        return false;
    QString h = match.captured(1);
    if (h.startsWith(QLatin1Char('[')))
        h = h.mid(1, h.size() - 2);
    if (host)
        *host = h;
    if (port)
        *port = static_cast<quint16>(number);
    return true;
}

QString TcpTransport::name() const {
    const QString host =
        m_host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(m_host) : m_host;
    return QStringLiteral("tcp://%1:%2").arg(host).arg(m_portNumber);
}

bool TcpTransport::open(const LineSettings& settings) {
    if (m_connected || m_opening) {
        setFault(Fault::InUse, PortMessages::NotAvailable(name()));
        return false;
    }
    m_settings = settings;
    m_opening = true;
    setFault(Fault::None, {});
    m_socket.connectToHost(m_host, m_portNumber);
    m_connectTimer.start(m_connectTimeoutMs);
    return true;
}

void TcpTransport::onConnected() {
    m_connectTimer.stop();
    m_opening = false;
    m_connected = true;
    // Requests are a few bytes each and the reply waits for them: no coalescing.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void TcpTransport::failOpening(const QString& detail) {
    m_connectTimer.stop();
    m_opening = false;
    m_socket.abort();
    setFault(Fault::NotFound, PortMessages::CannotConnect(name(), detail));
}

void TcpTransport::onError(QAbstractSocket::SocketError error) {
    if (m_opening) {
        failOpening(m_socket.errorString());
        return;
    }
    if (!m_connected)
        return;
    const bool closedByPeer = error == QAbstractSocket::RemoteHostClosedError;
    const Fault fault = closedByPeer ? Fault::EndOfFile : Fault::Unplugged;
    const QString text = closedByPeer ? PortMessages::ClosedAtOtherEnd(name())
                                      : PortMessages::ConnectionLost(name());
    m_connected = false;
    setFault(fault, text);
    m_socket.abort();
    emit faultOccurred(fault, text);
}

void TcpTransport::close() {
    m_connectTimer.stop();
    m_opening = false;
    m_connected = false;
    m_socket.abort();
}

bool TcpTransport::isOpen() const {
    return m_connected && m_socket.state() == QAbstractSocket::ConnectedState;
}

bool TcpTransport::applySettings(const LineSettings& settings) {
    m_settings = settings;
    return true;
}

qint64 TcpTransport::write(const QByteArray& bytes) {
    if (!isOpen())
        return -1;
    return m_socket.write(bytes);
}

QByteArray TcpTransport::readAll() {
    return m_socket.readAll();
}

void TcpTransport::discardInput() {
    m_socket.readAll();
}

bool TcpTransport::setDtr(bool on) {
    m_dtr = on;
    setFault(Fault::Unsupported, PortMessages::CommunicationError(name(), QStringLiteral("DTR")));
    return false;
}

bool TcpTransport::setRts(bool on) {
    m_rts = on;
    setFault(Fault::Unsupported, PortMessages::CommunicationError(name(), QStringLiteral("RTS")));
    return false;
}

}  // namespace voltaris
