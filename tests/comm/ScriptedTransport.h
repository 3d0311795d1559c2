#pragma once

#include <QByteArray>
#include <QList>
#include <memory>

#include "base/Clock.h"
#include "comm/Transport.h"

namespace voltaris::test {

// A line whose other end follows a script, in virtual time. Each request written takes the
// next step of the script (none left: no answer); a step answers with bytes, possibly in
// pieces, or raises a fault, after a delay. Everything it sends is recorded.
class ScriptedTransport : public Transport {
    Q_OBJECT
public:
    struct Step {
        enum class Kind { Reply, Silent, Fault } kind = Kind::Silent;
        QByteArray bytes;     // Reply
        int delayMs = 50;     // from the write to the first piece (or the fault)
        int pieces = 1;       // Reply: split into this many pieces ...
        int pieceGapMs = 10;  // ... this far apart
        Fault fault = Fault::None;
    };
    struct Sent {
        qint64 atMs;
        QByteArray bytes;
    };

    explicit ScriptedTransport(Clock& clock, QObject* parent = nullptr);
    ~ScriptedTransport() override;

    static Step reply(const QByteArray& bytes, int delayMs = 50, int pieces = 1);
    static Step silent();
    static Step fault(Fault fault, int delayMs = 50);

    void push(const Step& step) { m_script.append(step); }
    void pushAll(const QList<Step>& steps) { m_script.append(steps); }
    // Bytes that arrive now, unasked (noise, a late reply).
    void inject(const QByteArray& bytes);
    // Bytes that are waiting in the input buffer without having been announced yet.
    void injectQuietly(const QByteArray& bytes) { m_in.append(bytes); }
    // A fault now, as the line would raise it.
    void raise(Fault fault);

    const QList<Sent>& sent() const { return m_sent; }
    int discards() const { return m_discards; }
    int openCount() const { return m_opens; }
    int closeCount() const { return m_closes; }

    // What open() does: succeed, or fail with this fault and text.
    void failOpenWith(Fault fault, const QString& text) {
        m_openFault = fault;
        m_openText = text;
    }
    void setControlLinesSupported(bool on) { m_controlLines = on; }

    QString name() const override { return QStringLiteral("script"); }
    bool open(const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool applySettings(const LineSettings& settings) override {
        m_settings = settings;
        return true;
    }
    LineSettings settings() const override { return m_settings; }
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool dtr() const override { return m_dtr; }
    bool rts() const override { return m_rts; }
    bool cts() const override { return false; }
    bool dsr() const override { return false; }
    bool cd() const override { return false; }

private:
    void deliver(const QByteArray& bytes, quint64 generation);

    Clock& m_clock;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    QList<Step> m_script;
    QList<Sent> m_sent;
    QByteArray m_in;
    LineSettings m_settings;
    Fault m_openFault = Fault::None;
    QString m_openText;
    quint64 m_generation = 0;  // a close drops whatever was still on its way
    int m_discards = 0;
    int m_opens = 0;
    int m_closes = 0;
    bool m_open = false;
    bool m_controlLines = true;
    bool m_dtr = false;
    bool m_rts = false;
};

}  // namespace voltaris::test
