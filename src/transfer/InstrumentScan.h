#pragma once

#include <QList>
#include <memory>

#include "base/Engine.h"

namespace voltaris {

class CCommConfig;
class CWirrel;
class Timer;
class WirrelObj;

// Finds the instruments on a line: at every speed of the automatic search (the auxiliary
// port: 4800 baud only) asks each address for its model. An Engine: found() for each
// instrument as it answers; message 228 when none did.
class InstrumentScan : public Engine {
    Q_OBJECT
public:
    struct Found {
        qint32 baud = 0;
        quint8 address = 0;
        qint32 model = 0;
    };

    // The component (the line) is the caller's and must outlive this.
    InstrumentScan(Clock& clock, WirrelObj& component, QObject* parent = nullptr);
    ~InstrumentScan() override;

    // The port and interface come from `comm` (kept by the caller); the addresses asked, in
    // order, at each speed.
    void Create(const CCommConfig& comm, QList<quint8> addresses);
    CWirrel& link() { return *m_link; }
    const QList<Found>& Instruments() const { return m_found; }

    // The addresses a scan asks: 255 on the auxiliary port, `address` when given, else
    // `count`..1 (the whole line 255..1 without a count).
    static QList<quint8> Addresses(qint16 interfaceType, int address, int count);

signals:
    void found(const voltaris::InstrumentScan::Found& instrument);

protected:
    Task<EngineOutcome::Status> run() override;
    void onCancel() override;
    void onEnded() override;

private:
    WirrelObj& m_component;
    std::unique_ptr<Timer> m_timeOut;
    std::unique_ptr<Timer> m_workTick;
    std::unique_ptr<CWirrel> m_link;
    qint16 m_interfaceType = 0;
    qint32 m_comPort = 0;
    QList<quint8> m_addresses;
    QList<Found> m_found;
};

}  // namespace voltaris
