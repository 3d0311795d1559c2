#pragma once

#include "base/Clock.h"
#include "comm/Transport.h"
#include "sim/SimNetwork.h"
#include "sim/SimRequestParser.h"

#include <memory>

namespace voltaris {

// An in-process line to a SimNetwork: what is written reaches the simulated instruments,
// and their replies arrive through the clock after the simulated line time, so the link
// and everything above it run against the simulator in virtual time.
// bytesWritten() comes when the request has left (its time on the wire); a LineError fault
// is reported through faultOccurred(); an Unplug fault reports Fault::Unplugged once and
// leaves the transport closed (open() then fails with Fault::NotFound).
class SimTransport : public Transport {
    Q_OBJECT
public:
    SimTransport(SimNetwork& network, Clock& clock, QObject* parent = nullptr);
    ~SimTransport() override;

    QString name() const override;
    bool open(const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool applySettings(const LineSettings& settings) override;
    LineSettings settings() const override { return m_settings; }

    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override { m_input.clear(); }

    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool dtr() const override { return m_dtr; }
    bool rts() const override { return m_rts; }
    bool cts() const override { return m_open; }
    bool dsr() const override { return m_open; }
    bool cd() const override { return false; }

    // True once an Unplug fault has taken the port away.
    bool unplugged() const { return m_unplugged; }
    // Requests written since creation (frames that reached the line).
    int requestsWritten() const { return m_requests; }

private:
    // Runs `fn` after `ms` unless the transport was closed or destroyed in between.
    void later(int ms, std::function<void()> fn);

    SimNetwork& m_network;
    Clock& m_clock;
    SimRequestParser m_parser;
    LineSettings m_settings;
    QByteArray m_input;
    bool m_open = false;
    bool m_unplugged = false;
    bool m_dtr = false;
    bool m_rts = false;
    int m_requests = 0;
    // Pending deliveries hold a weak reference: they die with the transport or its session.
    std::shared_ptr<int> m_session;
};

}  // namespace voltaris
