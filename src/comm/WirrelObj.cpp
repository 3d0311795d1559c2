#include "comm/WirrelObj.h"

#include "base/CTraceCode.h"
#include "base/Clock.h"
#include "comm/PortMessages.h"
#include "comm/Ports.h"

namespace voltaris {

namespace {

QString statusText(qint32 code) {
    switch (code) {
        case WirrelObj::csIoError:
            return QStringLiteral("Errore di lettura o scrittura sulla linea");
        case WirrelObj::csLineError:
            return QStringLiteral("Errore di linea (parità, framing, overrun o break)");
        case WirrelObj::csNotSent:
            return QStringLiteral("Richiesta non inviata: porta chiusa");
        case WirrelObj::csEndOfFile:
            return QStringLiteral("Linea chiusa dall'altro capo");
        case WirrelObj::csPortLost:
            return QStringLiteral("Porta persa");
        case WirrelObj::csRxComplete:
            return QStringLiteral("Ricezione completata");
        default:
            return {};
    }
}

ComponentError badValue(const char* property, qint32 value) {
    return ComponentError(
        QStringLiteral("Valore non valido per %1: %2").arg(QLatin1String(property)).arg(value));
}

}  // namespace

WirrelObj::WirrelObj(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

WirrelObj::WirrelObj(Clock& clock, Transport& transport, QObject* parent)
    : QObject(parent), m_clock(clock), m_fixed(&transport), m_hasFixed(true) {
    attach(&transport);
}

WirrelObj::~WirrelObj() {
    *m_alive = false;
    if (m_transport)
        m_transport->disconnect(this);
    if (m_owned)
        m_owned->close();
}

void WirrelObj::setTransportFactory(TransportFactory factory) {
    m_factory = std::move(factory);
}

void WirrelObj::attach(Transport* transport) {
    if (m_transport)
        m_transport->disconnect(this);
    m_transport = transport;
    if (!transport)
        return;
    connect(transport, &Transport::readyRead, this, &WirrelObj::onReadyRead);
    connect(transport, &Transport::faultOccurred, this, &WirrelObj::onFault);
}

QString WirrelObj::effectivePortName() const {
    if (m_hasFixed)
        return m_fixed ? m_fixed->name() : QString();
    if (!m_portName.trimmed().isEmpty())
        return ResolvePortName(m_portName);
    return PortNameForIndex(m_portIndex);
}

void WirrelObj::setConnectionType(qint32 type) {
    if (type != 0 && type != 1)
        throw badValue("ConnectionType", type);
    m_connectionType = type;
}

void WirrelObj::setBaudRate(qint32 code) {
    if (code < 0 || code >= qint32(std::size(kBaudCodes)))
        throw badValue("BaudRate", code);
    m_baudCode = code;
    applyLineSettings();
}

void WirrelObj::setDataBits(qint32 bits) {
    if (bits < 5 || bits > 8)
        throw badValue("DataBits", bits);
    m_dataBits = bits;
    applyLineSettings();
}

void WirrelObj::setParity(qint32 code) {
    if (code != parNone && code != parOdd && code != parEven)
        throw badValue("Parity", code);
    m_parityCode = code;
    applyLineSettings();
}

void WirrelObj::setStopBits(qint32 code) {
    if (code != stopOne && code != stopTwo)
        throw badValue("StopBits", code);
    m_stopBitsCode = code;
    applyLineSettings();
}

Transport::LineSettings WirrelObj::lineSettings() const {
    Transport::LineSettings s;
    s.baudRate = kBaudCodes[m_baudCode];
    s.dataBits = m_dataBits;
    s.parity = m_parityCode == parOdd    ? Transport::Parity::Odd
               : m_parityCode == parEven ? Transport::Parity::Even
                                         : Transport::Parity::None;
    s.stopBits = m_stopBitsCode == stopTwo ? Transport::StopBits::Two : Transport::StopBits::One;
    return s;
}

void WirrelObj::applyLineSettings() {
    if (!PortOpen())
        return;
    if (!m_transport->applySettings(lineSettings()))
        throw ComponentError(m_transport->lastError());
}

bool WirrelObj::PortOpen() const {
    return m_transport && m_transport->isOpen();
}

bool WirrelObj::Busy() const {
    return m_transport && m_transport->isOpening();
}

void WirrelObj::setPortOpen(bool open) {
    if (!open) {
        m_collecting = false;
        ++m_session;
        if (m_transport)
            m_transport->close();
        return;
    }
    if (m_connectionType == 1)
        throw ComponentError(PortMessages::TelephoneUnavailable());
    if (PortOpen() || Busy())
        throw ComponentError(PortMessages::NotAvailable(m_transport->name()));
    const Transport::LineSettings settings = lineSettings();
    if (m_hasFixed && !m_fixed)
        throw ComponentError(PortMessages::BadPortName(QString()));
    if (!m_hasFixed) {
        const QString name = effectivePortName();
        std::unique_ptr<Transport> made;
        try {
            made = m_factory ? m_factory(name) : CreateTransport(name);
        } catch (const VoltarisError& e) {
            throw ComponentError(e.message());
        }
        if (!made)
            throw ComponentError(PortMessages::BadPortName(name));
        attach(made.get());
        m_owned = std::move(made);
    }
    m_collecting = false;
    ++m_session;
    forgetLateCopies();
    if (!m_transport->open(settings))
        throw ComponentError(m_transport->lastError());
}

void WirrelObj::StartTxRx() {
    m_collecting = false;
    if (!PortOpen()) {
        post(csNotSent, statusText(csNotSent), false);
        return;
    }
    // Counts the earlier sends of this same request still unanswered. A reply owed to an
    // abandoned, different request has unknown bytes and cannot be recognised.
    m_unanswered = (m_txFrame == m_lastSent && !m_lastAnswered) ? m_unanswered + 1 : 0;
    m_lastSent = m_txFrame;
    m_lastAnswered = m_bytesToReceive <= 0;
    // Whatever is waiting now cannot be the reply to this request.
    m_transport->discardInput();
    m_collected.clear();
    m_collecting = m_bytesToReceive > 0;
    const qint64 sent = m_transport->write(m_txFrame);
    if (sent != m_txFrame.size()) {
        m_collecting = false;
        post(csNotSent, statusText(csNotSent), false);
        return;
    }
    if (m_bytesToReceive <= 0) {
        m_rxFrame.clear();
        post(csRxComplete, statusText(csRxComplete), true);
    }
}

void WirrelObj::onReadyRead() {
    const QByteArray bytes = m_transport->readAll();
    if (!m_collecting)
        return;  // outside an exchange, or after the reply was complete: not ours
    m_collected.append(bytes);
    while (m_copiesOwed > 0 && m_txFrame != m_copyOf) {
        if (m_collected.startsWith(m_copy)) {
            --m_copiesOwed;
            m_collected.remove(0, m_copy.size());
            g_Trace().BugMessage(
                QStringLiteral("Scartata copia tardiva di una risposta precedente"));
            continue;
        }
        if (m_copy.startsWith(m_collected))
            return;  // could still become the copy: wait for the rest
        break;
    }
    if (m_collected.size() < m_bytesToReceive)
        return;
    m_collecting = false;
    m_collected.truncate(m_bytesToReceive);  // what follows the reply is not ours
    m_rxFrame = m_collected;
    m_lastAnswered = true;
    if (m_unanswered > 0) {
        // One send was answered; every other unanswered send of it may be answered yet.
        m_copyOf = m_txFrame;
        m_copy = m_rxFrame;
        m_copiesOwed = m_unanswered;
        m_unanswered = 0;
    }
    post(csRxComplete, statusText(csRxComplete), true);
}

void WirrelObj::forgetLateCopies() {
    m_lastSent.clear();
    m_lastAnswered = true;
    m_unanswered = 0;
    m_copiesOwed = 0;
}

void WirrelObj::onFault(Transport::Fault fault, const QString& text) {
    qint32 code = csIoError;
    switch (fault) {
        case Transport::Fault::None:
            return;
        case Transport::Fault::Unsupported:
            g_Trace().BugMessage(QStringLiteral("Operazione non supportata dalla porta: ") + text);
            return;
        case Transport::Fault::LineError:
            code = csLineError;
            break;
        case Transport::Fault::EndOfFile:
            code = csEndOfFile;
            m_collecting = false;
            break;
        case Transport::Fault::Unplugged:
            code = csPortLost;
            m_collecting = false;
            break;
        default:
            break;
    }
    post(code, statusText(code) + QStringLiteral(": ") + text, false);
}

void WirrelObj::post(qint32 code, const QString& text, bool forThisSession) {
    const std::weak_ptr<bool> alive = m_alive;
    const quint64 session = m_session;
    m_clock.callLater(0, [this, alive, code, text, forThisSession, session] {
        if (alive.expired())
            return;
        if (forThisSession && session != m_session)
            return;
        emit CommStatus(code, text);
    });
}

void WirrelObj::HangUp() {
    m_collecting = false;
    ++m_session;
}

void WirrelObj::setDTR(bool on) {
    m_dtr = on;
    if (PortOpen() && !m_transport->setDtr(on))
        g_Trace().BugMessage(QStringLiteral("DTR non supportato da ") + m_transport->name() +
                             QStringLiteral(": ") + m_transport->lastError());
}

void WirrelObj::setRTS(bool on) {
    m_rts = on;
    if (PortOpen() && !m_transport->setRts(on))
        g_Trace().BugMessage(QStringLiteral("RTS non supportato da ") + m_transport->name() +
                             QStringLiteral(": ") + m_transport->lastError());
}

bool WirrelObj::CTS() const {
    return PortOpen() && m_transport->cts();
}
bool WirrelObj::DSR() const {
    return PortOpen() && m_transport->dsr();
}
bool WirrelObj::CD() const {
    return PortOpen() && m_transport->cd();
}

}  // namespace voltaris
