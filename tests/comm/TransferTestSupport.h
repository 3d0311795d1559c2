#pragma once

#include <QByteArray>
#include <QList>
#include <memory>

#include "EngineSupport.h"
#include "ModelTestSupport.h"
#include "base/Clock.h"
#include "comm/Frames.h"
#include "comm/WirrelObj.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "sim/SimNetwork.h"
#include "sim/SimTransport.h"
#include "transfer/TransferProcedure.h"

namespace voltaris::test {

// The simulated line, keeping every request written to it.
class RecordingSimTransport : public SimTransport {
public:
    using SimTransport::SimTransport;
    qint64 write(const QByteArray& bytes) override {
        requests.append(bytes);
        return SimTransport::write(bytes);
    }
    QList<QByteArray> requests;
};

// One request as sent: address, function, register and value (or count).
struct SentFrame {
    quint8 address;
    quint8 function;
    quint16 reg;
    quint16 value;
};
inline SentFrame decode(const QByteArray& f) {
    const auto b = [&](int i) { return static_cast<quint8>(f.at(i)); };
    return {b(0), b(1), static_cast<quint16>(b(2) << 8 | b(3)),
            static_cast<quint16>(b(4) << 8 | b(5))};
}

// A transfer as the transfer window runs it, against simulated instruments in virtual time.
class TransferRig {
public:
    explicit TransferRig(Archive& archive) : m_archive(archive) {}

    VirtualClock clock;
    SimNetwork net;
    CCommConfig comm;
    CNetworkAddMsgSetup network;
    std::unique_ptr<RecordingSimTransport> line;
    std::unique_ptr<WirrelObj> component;
    std::unique_ptr<TransferProcedure> procedure;
    QList<int> messageIds;
    QStringList operationLines;
    QStringList connectionLines;

    // Creates the procedure for `action` (and `id`), hands it the two records and runs it.
    bool run(qint32 action, qint32 id, const QString& fileFolder) {
        make(action, id, fileFolder);
        return finish();
    }
    // Starts the procedure made and runs the clock until it has finished; its ReturnValue.
    bool finish() {
        RunToFinish(*procedure, clock);
        return procedure->ReturnValue();
    }
    void make(qint32 action, qint32 id, const QString& fileFolder) {
        line = std::make_unique<RecordingSimTransport>(net, clock);
        component = std::make_unique<WirrelObj>(clock, *line);
        procedure = std::make_unique<TransferProcedure>(clock, *component, m_archive);
        procedure->setFileFolder(fileFolder);
        procedure->setAction(action);
        procedure->setIDProgramma(id);
        QObject::connect(procedure.get(), &TransferProcedure::message,
                         [this](int textId, const QString&, int) { messageIds << textId; });
        QObject::connect(procedure.get(), &TransferProcedure::operationLine,
                         [this](const QString& t) { operationLines << t; });
        QObject::connect(procedure.get(), &TransferProcedure::connectionLine,
                         [this](const QString& t) { connectionLines << t; });
        procedure->Create(comm, network);
    }

    // Requests after the address search (from the first read of 223 on).
    QList<SentFrame> frames() const {
        QList<SentFrame> all;
        for (const QByteArray& f : line->requests)
            all << decode(f);
        return all;
    }

private:
    Archive& m_archive;
};

}  // namespace voltaris::test
