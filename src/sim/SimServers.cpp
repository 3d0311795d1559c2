#include "sim/SimServers.h"

#include "base/Clock.h"
#include "base/Errors.h"
#include "sim/PtyTermios.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <cstring>

namespace voltaris {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Feeds arrived bytes to the network and schedules each reply after its line time.
void serve(SimNetwork& network, SimRequestParser& parser, const QByteArray& bytes,
           const Transport::LineSettings& line, const std::function<void(QByteArray)>& send,
           const std::function<void()>& unplug, QObject* context) {
    const qint64 now = Clock::real().nowMs();
    const qint64 droppedBefore = parser.droppedBytes();
    parser.feed(bytes, now);
    while (auto frame = parser.next()) {
        const SimReply reply = network.handleRequest(*frame, line, now);
        if (reply.unplug) {
            QTimer::singleShot(0, context, unplug);
            return;
        }
        if (!reply.bytes.isEmpty())
            QTimer::singleShot(reply.delayMs, context, [send, data = reply.bytes] { send(data); });
    }
    if (parser.droppedBytes() > droppedBefore)
        network.logDiscarded(bytes, now);
}

}  // namespace

// ---- pseudo-terminal ----

SimPtyServer::SimPtyServer(SimNetwork& network, QObject* parent)
    : QObject(parent), m_network(network) {}

SimPtyServer::~SimPtyServer() {
    closeAll();
}

void SimPtyServer::start() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        throw IoError(QStringLiteral("Cannot create a pseudo-terminal: %1").arg(systemError()));
    char name[128] = {};
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        const QString why = systemError();
        closeAll();
        throw IoError(QStringLiteral("Cannot set up the pseudo-terminal: %1").arg(why));
    }
    m_path = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        const QString why = systemError();
        closeAll();
        throw IoError(QStringLiteral("Cannot open %1: %2").arg(m_path, why));
    }
    struct termios t {};
    if (tcgetattr(m_slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_session = std::make_shared<int>(0);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimPtyServer::onReadable);
}

Transport::LineSettings SimPtyServer::lineSettings() const {
    Transport::LineSettings s;
    if (m_master >= 0)
        ReadPtyLineSettings(m_master, &s);
    return s;
}

void SimPtyServer::onReadable() {
    QByteArray bytes;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, n);
            continue;
        }
        break;
    }
    if (bytes.isEmpty())
        return;
    std::weak_ptr<int> session = m_session;
    const int fd = m_master;
    serve(
        m_network, m_parser, bytes, lineSettings(),
        [session, fd](const QByteArray& data) {
            if (!session.lock())
                return;
            qsizetype done = 0;
            while (done < data.size()) {
                const ssize_t n = ::write(fd, data.constData() + done, data.size() - done);
                if (n <= 0)
                    break;  // the terminal is full or gone: the rest is lost, as on a line
                done += n;
            }
        },
        [this] { unplug(); }, this);
}

void SimPtyServer::unplug() {
    closeAll();
    emit unplugged();
}

void SimPtyServer::closeAll() {
    m_session.reset();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

// ---- TCP ----

SimTcpServer::SimTcpServer(SimNetwork& network, qint32 lineBaud, QObject* parent)
    : QObject(parent), m_network(network) {
    m_line.baudRate = lineBaud;
}

SimTcpServer::~SimTcpServer() = default;

void SimTcpServer::start(const QString& address, quint16 port) {
    m_server = new QTcpServer(this);
    QHostAddress host;
    if (!host.setAddress(address)) {
        if (address == QLatin1String("localhost"))
            host = QHostAddress::LocalHost;
        else
            throw IoError(QStringLiteral("\"%1\" is not an address to listen on").arg(address));
    }
    if (!m_server->listen(host, port))
        throw IoError(QStringLiteral("Cannot listen on %1 port %2: %3")
                          .arg(address)
                          .arg(port)
                          .arg(m_server->errorString()));
    m_address = host.toString();
    connect(m_server, &QTcpServer::newConnection, this, &SimTcpServer::onConnection);
}

quint16 SimTcpServer::port() const {
    return m_server ? m_server->serverPort() : 0;
}

QString SimTcpServer::url() const {
    return QStringLiteral("tcp://%1:%2").arg(m_address).arg(port());
}

void SimTcpServer::onConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto client = std::make_unique<Client>();
        client->socket = socket;
        Client* raw = client.get();
        m_clients.push_back(std::move(client));
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { onReadable(raw); });
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] {
            for (auto it = m_clients.begin(); it != m_clients.end(); ++it) {
                if (it->get() == raw) {
                    if (raw->socket) {
                        raw->socket->disconnect(this);
                        raw->socket->deleteLater();
                    }
                    m_clients.erase(it);
                    break;
                }
            }
        });
    }
}

void SimTcpServer::onReadable(Client* client) {
    if (!client->socket)
        return;
    QPointer<QTcpSocket> socket = client->socket;
    serve(
        m_network, client->parser, socket->readAll(), m_line,
        [socket](const QByteArray& data) {
            if (socket)
                socket->write(data);
        },
        [this] { unplug(); }, this);
}

void SimTcpServer::unplug() {
    if (m_server)
        m_server->close();
    const auto clients = std::move(m_clients);
    m_clients.clear();
    for (const auto& c : clients) {
        if (c->socket) {
            c->socket->disconnect(this);
            c->socket->abort();
            c->socket->deleteLater();
        }
    }
    emit unplugged();
}

}  // namespace voltaris
