#include "ScriptedTransport.h"

namespace voltaris::test {

ScriptedTransport::ScriptedTransport(Clock& clock, QObject* parent)
    : Transport(parent), m_clock(clock) {}

ScriptedTransport::~ScriptedTransport() = default;

ScriptedTransport::Step ScriptedTransport::reply(const QByteArray& bytes, int delayMs, int pieces) {
    Step s;
    s.kind = Step::Kind::Reply;
    s.bytes = bytes;
    s.delayMs = delayMs;
    s.pieces = pieces;
    return s;
}

ScriptedTransport::Step ScriptedTransport::silent() {
    return Step{};
}

ScriptedTransport::Step ScriptedTransport::fault(Fault f, int delayMs) {
    Step s;
    s.kind = Step::Kind::Fault;
    s.fault = f;
    s.delayMs = delayMs;
    return s;
}

bool ScriptedTransport::open(const LineSettings& settings) {
    if (m_openFault != Fault::None) {
        setFault(m_openFault, m_openText);
        return false;
    }
    m_settings = settings;
    m_open = true;
    ++m_opens;
    ++m_generation;
    setFault(Fault::None, {});
    return true;
}

void ScriptedTransport::close() {
    if (m_open)
        ++m_closes;
    m_open = false;
    ++m_generation;
    m_in.clear();
}

qint64 ScriptedTransport::write(const QByteArray& bytes) {
    if (!m_open)
        return -1;
    m_sent.append({m_clock.nowMs(), bytes});
    const Step step = m_script.isEmpty() ? Step{} : m_script.takeFirst();
    const std::weak_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    switch (step.kind) {
        case Step::Kind::Silent:
            break;
        case Step::Kind::Reply: {
            const int pieces = qMax(1, step.pieces);
            const qsizetype size = step.bytes.size();
            for (int i = 0; i < pieces; ++i) {
                const qsizetype from = size * i / pieces;
                const qsizetype to = size * (i + 1) / pieces;
                const QByteArray piece = step.bytes.mid(from, to - from);
                m_clock.callLater(step.delayMs + i * step.pieceGapMs,
                                  [this, alive, piece, generation] {
                                      if (!alive.expired())
                                          deliver(piece, generation);
                                  });
            }
            break;
        }
        case Step::Kind::Fault:
            m_clock.callLater(step.delayMs, [this, alive, f = step.fault, generation] {
                if (!alive.expired() && generation == m_generation && m_open)
                    raise(f);
            });
            break;
    }
    emit bytesWritten(bytes.size());
    return bytes.size();
}

void ScriptedTransport::deliver(const QByteArray& bytes, quint64 generation) {
    if (generation != m_generation || !m_open || bytes.isEmpty())
        return;
    m_in.append(bytes);
    emit readyRead();
}

void ScriptedTransport::inject(const QByteArray& bytes) {
    deliver(bytes, m_generation);
}

void ScriptedTransport::raise(Fault f) {
    const QString text = QStringLiteral("fault %1").arg(int(f));
    setFault(f, text);
    if (f == Fault::Unplugged || f == Fault::EndOfFile)
        close();
    emit faultOccurred(f, text);
}

QByteArray ScriptedTransport::readAll() {
    QByteArray out;
    out.swap(m_in);
    return out;
}

void ScriptedTransport::discardInput() {
    ++m_discards;
    m_in.clear();
}

bool ScriptedTransport::setDtr(bool on) {
    m_dtr = on;
    if (!m_controlLines)
        setFault(Fault::Unsupported, QStringLiteral("no DTR"));
    return m_controlLines;
}

bool ScriptedTransport::setRts(bool on) {
    m_rts = on;
    if (!m_controlLines)
        setFault(Fault::Unsupported, QStringLiteral("no RTS"));
    return m_controlLines;
}

}  // namespace voltaris::test
