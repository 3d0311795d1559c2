#include "sim/SimTransport.h"

namespace voltaris {

SimTransport::SimTransport(SimNetwork& network, Clock& clock, QObject* parent)
    : Transport(parent), m_network(network), m_clock(clock) {}

SimTransport::~SimTransport() = default;

QString SimTransport::name() const {
    return QStringLiteral("sim://in-process");
}

bool SimTransport::open(const LineSettings& settings) {
    if (m_unplugged) {
        setFault(Fault::NotFound,
                 QStringLiteral("The simulated port %1 has been unplugged.").arg(name()));
        return false;
    }
    if (m_open) {
        setFault(Fault::InUse,
                 QStringLiteral("The simulated port %1 is already open.").arg(name()));
        return false;
    }
    m_settings = settings;
    m_open = true;
    m_input.clear();
    m_parser.clear();
    m_session = std::make_shared<int>(0);
    setFault(Fault::None, QString());
    return true;
}

void SimTransport::close() {
    m_open = false;
    m_session.reset();
    m_input.clear();
    m_parser.clear();
}

bool SimTransport::applySettings(const LineSettings& settings) {
    if (!m_open)
        return false;
    m_settings = settings;
    return true;
}

bool SimTransport::setDtr(bool on) {
    if (!m_open)
        return false;
    m_dtr = on;
    return true;
}

bool SimTransport::setRts(bool on) {
    if (!m_open)
        return false;
    m_rts = on;
    return true;
}

void SimTransport::later(int ms, std::function<void()> fn) {
    std::weak_ptr<int> session = m_session;
    m_clock.callLater(ms, [session, fn = std::move(fn)] {
        if (session.lock())
            fn();
    });
}

qint64 SimTransport::write(const QByteArray& bytes) {
    if (!m_open)
        return -1;
    const qint64 now = m_clock.nowMs();
    m_parser.feed(bytes, now);
    const qint64 droppedBefore = m_parser.droppedBytes();
    int leftAfterMs = SimNetwork::WireTimeMs(bytes.size(), m_settings);
    if (!m_network.timing().enabled)
        leftAfterMs = 0;
    // Scheduled first: with no line time the request has left before any reply arrives.
    const qint64 n = bytes.size();
    later(leftAfterMs, [this, n] { emit bytesWritten(n); });
    while (auto frame = m_parser.next()) {
        ++m_requests;
        const SimReply reply = m_network.handleRequest(*frame, m_settings, now);
        if (reply.unplug) {
            later(0, [this] {
                m_unplugged = true;
                close();
                setFault(Fault::Unplugged,
                         QStringLiteral("The simulated port %1 has been unplugged.").arg(name()));
                emit faultOccurred(Fault::Unplugged, lastError());
            });
            break;
        }
        if (reply.lineError) {
            later(reply.delayMs, [this] {
                emit faultOccurred(
                    Fault::LineError,
                    QStringLiteral("Line error on %1 (framing or parity).").arg(name()));
            });
        } else if (!reply.bytes.isEmpty()) {
            later(reply.delayMs, [this, data = reply.bytes] {
                m_input.append(data);
                emit readyRead();
            });
        }
    }
    if (m_parser.droppedBytes() > droppedBefore)
        m_network.logDiscarded(bytes, now);
    return n;
}

QByteArray SimTransport::readAll() {
    QByteArray out;
    out.swap(m_input);
    return out;
}

}  // namespace voltaris
