// The transfer procedure end to end against the in-process simulator, in virtual time.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "MemMapTestSupport.h"
#include "ModelTestSupport.h"
#include "TransferTestSupport.h"
#include "base/ResString.h"
#include "comm/CWirrel.h"
#include "memmap/CGestioneMemMap.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "sim/SimFault.h"

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint8 kConfiguredAddress = 247;  // what fillConfiguration puts in CSerialComm
constexpr int kConfiguredSpeed = 3;         // 38400 baud, the first speed tried

enum class Iface { Aux, Single, Network3 };

const char* ifaceName(Iface i) {
    switch (i) {
        case Iface::Aux:
            return "aux";
        case Iface::Single:
            return "single";
        default:
            return "network3";
    }
}

QString text(const SentFrame& f) {
    QString s = QStringLiteral("%1/%2/%3").arg(f.address).arg(f.function).arg(f.reg);
    if (f.function == kFuncWriteRegister &&
        (f.reg == kRegUnlockBlocks || f.reg == kRegBlocksWritten || f.reg == kRegReset))
        s += QStringLiteral("=%1").arg(f.value, 4, 16, QLatin1Char('0'));
    return s;
}

QStringList texts(const QList<SentFrame>& frames) {
    QStringList out;
    for (const SentFrame& f : frames)
        out << text(f);
    return out;
}

QString read(quint8 a, quint16 reg) {
    return text({a, kFuncReadRegisters, reg, 0});
}
QString write(quint8 a, quint16 reg, quint16 value = 0) {
    return text({a, kFuncWriteRegister, reg, value});
}
QString reset(quint8 a, quint8 code) {
    return write(a, kRegReset, static_cast<quint16>(code << 8));
}

// What a write sends to one address after the address search.
QStringList expectedWrite(quint8 a, quint8 t, Iface iface) {
    QStringList f{read(a, kRegModelHigh), read(a, kRegModelLow)};
    for (int i = 0; i < 8; ++i)
        f << write(a, kRegParam + i);
    if (t == 2 || t == 3)
        for (int i = 0; i < 24; ++i)
            f << write(a, kRegAnalogOut + i);
    if (t == 4 || t == 5 || t == 16) {
        f << write(a, kRegUnlockBlocks, 0xC0C0);
        for (const int r : CGestioneMemMap::DigOutRegisters)
            f << write(a, r);
        for (int i = 0; i < 128; ++i)
            f << write(a, kRegAlarm + i);
        for (int i = 0; i < 16; ++i)
            f << write(a, kRegPulse + i);
        f << write(a, kRegBlocksWritten, 0);
    }
    quint8 after = a;
    if ((t == 1 || t == 5 || t == 16) && iface != Iface::Network3) {
        f << write(a, kRegNetworkAddress);
        if (iface == Iface::Single)
            after = kConfiguredAddress;
        f << write(after, kRegBaudRate);
    }
    f << reset(after, 1) << reset(after, 6);
    return f;
}

QStringList expectedRead(quint8 a) {
    QStringList f{read(a, kRegModelHigh), read(a, kRegModelLow), read(a, kRegParam)};
    for (int b = 0; b < 3; ++b)
        f << read(a, kRegAnalogOut + 8 * b);
    f << read(a, kRegDigOut);
    for (int b = 0; b < 16; ++b)
        f << read(a, kRegAlarm + 8 * b);
    f << read(a, kRegPulse) << read(a, kRegPulse + 8);
    return f;
}

QList<quint8> addressesOf(Iface iface) {
    switch (iface) {
        case Iface::Aux:
            return {255};
        case Iface::Single:
            return {kConfiguredAddress};
        default:
            return {1, 2, 3};
    }
}

class TransferFixture : public ArchiveFixture {
protected:
    // A rig with `model` on the line the way `iface` reaches it; the records set for it.
    std::unique_ptr<TransferRig> rig(qint32 model, Iface iface) {
        auto r = std::make_unique<TransferRig>(archive);
        if (iface == Iface::Network3) {
            for (quint8 a = 1; a <= 3; ++a)
                r->net.addInstrument(static_cast<quint32>(model), a, kConfiguredSpeed);
        } else {
            r->net.addInstrument(static_cast<quint32>(model), kConfiguredAddress, kConfiguredSpeed);
        }
        r->net.setAuxiliary(iface == Iface::Aux);
        r->comm.setInterfaceType(static_cast<qint16>(iface));
        r->network.setModeConfig(iface == Iface::Network3 ? 1 : 0);
        r->network.setSelNetworkAdd(1);
        r->network.setNetworkAdd(kConfiguredAddress);
        r->network.setTotalInstrNetwork(3);
        return r;
    }
    // Carries a rig's instruments over to a new rig for the next operation.
    void rerun(TransferRig& r, qint32 action, qint32 id) {
        r.line.reset();
        r.messageIds.clear();
        r.operationLines.clear();
        r.connectionLines.clear();
        r.run(action, id, files.path());
    }
    qint32 store(qint32 model) {
        Configuration c;
        fillConfiguration(c, model, OutputUse::BothAlarms);
        return c.create(archive);
    }
    // Requests after the address search: the aux port has none, the others one read.
    static QStringList afterSearch(const TransferRig& r, Iface iface) {
        return texts(r.frames()).mid(iface == Iface::Aux ? 0 : 1);
    }
    TempDir files;
};

struct Case {
    qint32 model;
    Iface iface;
    qint32 action;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << std::hex << c.model << std::dec << " " << ifaceName(c.iface) << " action " << c.action;
}

class TransferTable : public TransferFixture, public testing::WithParamInterface<Case> {};

TEST_P(TransferTable, SendsTheFramesAndEndsWell) {
    const Case c = GetParam();
    const quint8 t = static_cast<quint8>(c.model & 0xFF);
    TraceCapture trace;
    auto r = rig(c.model, c.iface);
    const qint32 id = store(c.model);
    QStringList expected;

    if (c.action == TransferProcedure::ReadConfiguration) {
        // Program the instrument(s) first, then read back into the reserved id.
        ASSERT_TRUE(r->run(TransferProcedure::WriteConfiguration, id, files.path()));
        rerun(*r, TransferProcedure::ReadConfiguration, Archive::ReservedId);
        const quint8 a = c.iface == Iface::Aux      ? 255
                         : c.iface == Iface::Single ? kConfiguredAddress
                                                    : 1;
        expected = expectedRead(a);
        Configuration got;
        got.load(archive, Archive::ReservedId);
        if (c.iface == Iface::Network3 && (t == 1 || t == 16)) {
            // In a network the serial module is not programmed: it keeps address 1.
            EXPECT_EQ(got.SerialComm().NetworkAdd(), 1);
            got.SerialComm().setNetworkAdd(kConfiguredAddress);
        }
        expectReadBack(got, c.model, OutputUse::BothAlarms, false);
        EXPECT_TRUE(QFile::exists(QDir(files.path()).filePath("MemoryMap.mem")));
        EXPECT_EQ(r->operationLines.last(), ResString(203));
    } else if (c.action == TransferProcedure::WriteConfiguration) {
        ASSERT_TRUE(r->run(c.action, id, files.path()));
        for (const quint8 a : addressesOf(c.iface))
            expected << expectedWrite(a, t, c.iface);
        const CGestioneMemMap& map = *r->procedure->memoryMap();
        for (int n = 0; n < r->net.count(); ++n) {
            SimInstrument& in = r->net.instrument(n);
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(in.configWord(kRegParam + i), map.ParamMemMap(i)) << i;
            if (t == 2 || t == 3) {
                for (int i = 0; i < 24; ++i)
                    EXPECT_EQ(in.configWord(kRegAnalogOut + i), map.AnalogOutMemMap(i)) << i;
            }
            if (t == 4 || t == 16) {
                for (int i = 0; i < 128; ++i)
                    EXPECT_EQ(in.configWord(kRegAlarm + i), map.AlarmMemMap(i)) << i;
            }
        }
        EXPECT_TRUE(QFile::exists(QDir(files.path()).filePath("MemoryUser.mem")));
        const bool addressWritten = (t == 1 || t == 16) && c.iface != Iface::Network3;
        EXPECT_EQ(trace.lines.contains("Programmazione indirizzo di rete"), addressWritten);
    } else {
        r->run(c.action, -1, files.path());
        for (const quint8 a : addressesOf(c.iface))
            for (const ResetCode code : ResetCommandsForAction(c.action))
                expected << reset(a, quint8(code));
        EXPECT_EQ(r->operationLines.last(), ResString(232 + c.action));
    }
    EXPECT_TRUE(r->procedure->ReturnValue());
    EXPECT_TRUE(r->messageIds.isEmpty());
    EXPECT_EQ(afterSearch(*r, c.iface), expected);
    EXPECT_FALSE(r->line->isOpen()) << "the port stays open";
    if (c.iface == Iface::Aux) {
        EXPECT_EQ(r->connectionLines.last(), ResString(223));
    } else {
        const quint8 last = c.iface == Iface::Single ? kConfiguredAddress : 3;
        EXPECT_TRUE(trace.lines.contains(FormatResString(222, QString::number(last))));
    }
}

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (const qint32 m : {0x00230001, 0x00230102, 0x00230303, 0x00240004, 0x00230010})
        for (const Iface i : {Iface::Aux, Iface::Single, Iface::Network3})
            for (qint32 a = -2; a <= 7; ++a)
                cases.push_back({m, i, a});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(ModelsInterfacesActions, TransferTable, testing::ValuesIn(allCases()));

// A fault of the line once the operation is under way: what the user sees, the link closed,
// nothing stored.
struct FaultCase {
    SimFault fault;
    int message;
    const char* cause;  // the line after the resource text begins with it
};

// Later than the three tries of an exchange: the reply never counts.
constexpr int kLongerThanEveryTry = 12000;

class TransferFaults : public TransferFixture, public testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFaults, EveryActionEndsWithItsMessage) {
    const FaultCase fc = GetParam();
    const qint32 model = 0x00240004;
    const qint32 id = store(model);
    Configuration before;
    before.load(archive, Archive::ReservedId);
    for (const qint32 action : {-2, -1, 0, 2, 7}) {
        SCOPED_TRACE(action);
        TraceCapture trace;
        auto r = rig(model, Iface::Single);
        r->make(action, action == -2 ? Archive::ReservedId : action == -1 ? id : -1, files.path());
        // The fault starts with the first frame of the operation proper.
        const QString start = action == -2   ? ResString(203)
                              : action == -1 ? ResString(201)
                                             : ResString(232 + action);
        QObject::connect(r->procedure.get(), &TransferProcedure::operationLine,
                         [&](const QString& t) {
                             if (t == start)
                                 r->net.setFaults({{fc.fault, 0, kLongerThanEveryTry}});
                         });
        QStringList texts;
        QObject::connect(r->procedure.get(), &TransferProcedure::message,
                         [&](int, const QString& t, int) { texts << t; });
        EXPECT_FALSE(r->finish());
        EXPECT_EQ(r->messageIds, QList<int>{fc.message});
        ASSERT_EQ(texts.size(), 1);
        EXPECT_TRUE(texts.at(0).startsWith(ResString(fc.message) + "\n\r" +
                                           QString::fromLatin1(fc.cause).arg(kConfiguredAddress)))
            << texts.at(0).toStdString();
        ASSERT_EQ(trace.messages.entries().size(), 1);
        EXPECT_EQ(trace.messages.entries().at(0).title, ResString(208));
        EXPECT_EQ(trace.messages.entries().at(0).icon, UserMessages::Icon::Warning);
        EXPECT_FALSE(r->line->isOpen());
        Configuration after;
        after.load(archive, Archive::ReservedId);
        for (int i = 0; i < before.Records().size(); ++i)
            EXPECT_TRUE(before.Records().at(i)->SameData(*after.Records().at(i)))
                << before.Records().at(i)->InstanceName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TransferFaults,
    testing::Values(
        FaultCase{SimFault::Silent, 207, "Address %1 did not answer (3 tries)."},
        FaultCase{SimFault::BadCrc, 215,
                  "Address %1 replied 3 times with a bad CRC or a reply to another request."},
        FaultCase{SimFault::Garbage, 215,
                  "Address %1 replied 3 times with a bad CRC or a reply to another request."},
        FaultCase{SimFault::ShortReply, 207, "Address %1 sent a short reply: "},
        FaultCase{SimFault::Delay, 207, "Address %1 did not answer (3 tries)."},
        FaultCase{SimFault::LineError, 206,
                  "The line to address %1 failed 3 times (parity, framing, overrun or the port "
                  "itself)."},
        FaultCase{SimFault::Unplug, 206,
                  "The line to address %1 failed 3 times (parity, framing, overrun or the port "
                  "itself)."}),
    [](const testing::TestParamInfo<FaultCase>& i) {
        return SimFaultName(i.param.fault).toStdString();
    });

// An instrument slower than the link's timeout answers every request twice (the request and
// its repeat); each second answer arrives while the next block is being asked for. The
// configuration read back must be the instrument's, not blocks shifted by one.
TEST_F(TransferFixture, ASlowInstrumentAnsweringTwiceIsReadBackIntact) {
    TraceCapture trace;
    auto r = rig(0x00240004, Iface::Single);
    const qint32 id = store(0x00240004);
    ASSERT_TRUE(r->run(TransferProcedure::WriteConfiguration, id, files.path()));
    r->line.reset();
    r->messageIds.clear();
    r->make(TransferProcedure::ReadConfiguration, Archive::ReservedId, files.path());
    QObject::connect(r->procedure.get(), &TransferProcedure::operationLine, [&](const QString& t) {
        if (t == ResString(203))
            r->net.setFaults({{SimFault::Delay, 0, CWirrel::kTimeOutMs + 500}});
    });
    ASSERT_TRUE(r->finish());
    EXPECT_TRUE(r->messageIds.isEmpty());
    Configuration got;
    got.load(archive, Archive::ReservedId);
    expectReadBack(got, 0x00240004, OutputUse::BothAlarms, false);
    EXPECT_FALSE(trace.lines.filter("copia tardiva").isEmpty());
}

// With a fault from the very first frame, no speed finds an instrument.
TEST_F(TransferFixture, AFaultyLineFindsNoInstrumentAtAnySpeed) {
    for (const SimFault f : AllSimFaults()) {
        SCOPED_TRACE(SimFaultName(f).toStdString());
        TraceCapture trace;
        auto r = rig(0x00240004, Iface::Single);
        r->net.setFaults({{f, 0, kDefaultFaultDelayMs}});
        QStringList texts;
        r->make(3, -1, files.path());
        QObject::connect(r->procedure.get(), &TransferProcedure::message,
                         [&](int, const QString& t, int) { texts << t; });
        EXPECT_FALSE(r->finish());
        EXPECT_EQ(r->messageIds, QList<int>{228});
        EXPECT_EQ(texts, QStringList{ResString(228) +
                                     "\n\rAddress 247 did not answer at 38400, 19200, 9600 or "
                                     "4800 baud."});
        EXPECT_TRUE(trace.lines.contains("Errore nell'autorilevamento del baudrate"));
        EXPECT_FALSE(r->line->isOpen());
    }
}

TEST_F(TransferFixture, AuxiliaryPortRunsAt4800AtAddress255WithoutSearch) {
    TraceCapture trace;
    auto r = rig(0x00240004, Iface::Aux);
    r->network.setSelNetworkAdd(0);
    r->network.setModeConfig(1);
    r->network.setNetworkAdd(12);
    qint32 baud = 0;
    r->make(3, -1, files.path());
    EXPECT_EQ(r->network.NetworkAdd(), 255);
    EXPECT_EQ(r->network.SelNetworkAdd(), 1);
    EXPECT_EQ(r->network.ModeConfig(), 0);
    QObject::connect(r->procedure.get(), &TransferProcedure::operationLine,
                     [&](const QString&) { baud = r->line->settings().baudRate; });
    EXPECT_TRUE(r->finish());
    EXPECT_EQ(baud, 4800);
    EXPECT_EQ(texts(r->frames()), QStringList{reset(255, 6)});
    for (const QString& l : trace.lines)
        EXPECT_FALSE(l.startsWith("Tentativo connessione")) << l.toStdString();
}

TEST_F(TransferFixture, AutomaticSearchWritesTheFirstAnsweringAddressBack) {
    TraceCapture trace;
    auto r = rig(0x00240004, Iface::Single);
    r->net = SimNetwork();
    r->net.addInstrument(0x00240004, 37, 1);  // 9600 baud
    r->net.addInstrument(0x00240004, 20, 1);
    r->network.setSelNetworkAdd(0);
    r->network.setNetworkAdd(5);
    QList<int> progress;
    r->make(3, -1, files.path());
    QObject::connect(r->procedure.get(), &TransferProcedure::progress,
                     [&](int v, int min, int max) {
                         if (max == 255 && min == 1)
                             progress << v;
                     });
    EXPECT_TRUE(r->finish());
    EXPECT_EQ(r->network.NetworkAdd(), 37);
    const QStringList tries = trace.lines.filter("Tentativo connessione");
    EXPECT_EQ(tries, (QStringList{"Tentativo connessione con RS232 a 38400 baud...",
                                  "Tentativo connessione con RS232 a 19200 baud...",
                                  "Tentativo connessione con RS232 a 9600 baud..."}));
    const QStringList sent = texts(r->frames());
    ASSERT_EQ(sent.size(), 255 + 255 + (255 - 37 + 1) + 1);
    EXPECT_EQ(sent.at(0), read(255, kRegModelHigh));
    EXPECT_EQ(sent.at(254), read(1, kRegModelHigh));
    EXPECT_EQ(sent.at(510 + 255 - 37), read(37, kRegModelHigh));
    EXPECT_EQ(sent.last(), reset(37, 6));
    EXPECT_EQ(progress.first(), 1);
    EXPECT_EQ(progress.last(), 255 - 37 + 1);
    EXPECT_TRUE(trace.lines.contains(FormatResString(222, "37")));
    // The scan's short timeout is only for the scan.
    EXPECT_EQ(r->procedure->link().TimeOutRx(), CWirrel::kTimeOutMs);
    EXPECT_EQ(r->procedure->link().MaxErrorTimeOut(), 3);
}

TEST_F(TransferFixture, SingleInstrumentHandlesOnlyAddressOneEvenForAllInstruments) {
    auto r = rig(0x00240004, Iface::Network3);
    r->comm.setInterfaceType(1);
    const qint32 id = store(0x00240004);
    EXPECT_TRUE(r->run(-1, id, files.path()));
    const QStringList sent = texts(r->frames());
    EXPECT_EQ(sent.mid(1), expectedWrite(1, 4, Iface::Network3));
    EXPECT_TRUE(r->procedure->ReturnValue());
}

TEST_F(TransferFixture, ModelVariantByteIsIgnoredAndAMismatchStopsBeforeWriting) {
    {
        auto r = rig(0x00230004, Iface::Single);
        EXPECT_TRUE(r->run(-1, store(0x01230004), files.path()));
        EXPECT_TRUE(r->messageIds.isEmpty());
    }
    TraceCapture trace;
    auto r = rig(0x00230004, Iface::Single);
    EXPECT_FALSE(r->run(-1, store(0x00240004), files.path()));
    EXPECT_EQ(r->messageIds, QList<int>{230});
    EXPECT_TRUE(trace.lines.contains("ProgInstrModel=2359300 m_InstrModel=2293764"));
    for (const SentFrame& f : r->frames())
        EXPECT_EQ(f.function, kFuncReadRegisters);
    EXPECT_FALSE(r->line->isOpen());
}

// A single instrument given a new address and speed is reached at them for the resets.
TEST_F(TransferFixture, SingleInstrumentFollowsItsNewAddressAndSpeed) {
    auto r = rig(0x00230001, Iface::Single);
    r->net = SimNetwork();
    r->net.addInstrument(0x00230001, 9, 1);
    r->network.setNetworkAdd(9);
    EXPECT_TRUE(r->run(-1, store(0x00230001), files.path()));
    EXPECT_TRUE(r->messageIds.isEmpty());
    EXPECT_EQ(r->net.lineAddress(0), kConfiguredAddress);
    EXPECT_EQ(r->net.lineBaud(0), 38400);
    EXPECT_EQ(texts(r->frames()).last(), reset(kConfiguredAddress, 6));
}

TEST_F(TransferFixture, CancelDuringTheSearchTriesNoFurtherSpeed) {
    TraceCapture trace;
    auto r = rig(0x00240004, Iface::Single);
    r->net = SimNetwork();  // nobody answers
    r->network.setSelNetworkAdd(0);
    r->make(-1, store(0x00240004), files.path());
    r->clock.callLater(2000, [&] { r->procedure->Cancel(); });
    EXPECT_FALSE(r->finish());
    EXPECT_TRUE(r->procedure->Cancelled());
    EXPECT_TRUE(r->messageIds.isEmpty());
    EXPECT_TRUE(trace.messages.entries().isEmpty());
    EXPECT_EQ(trace.lines.filter("Tentativo connessione").size(), 1);
    EXPECT_TRUE(trace.lines.contains("Cancellata procedura TxRx"));
    EXPECT_TRUE(trace.lines.contains("Operazione annullata !!!"));
    EXPECT_LE(r->clock.nowMs(), 2600);
    EXPECT_FALSE(r->line->isOpen());
}

TEST_F(TransferFixture, CancelDuringTheWriteStopsWithoutMessage) {
    auto r = rig(0x00240004, Iface::Single);
    r->make(-1, store(0x00240004), files.path());
    QObject::connect(r->procedure.get(), &TransferProcedure::progress, [&](int v, int, int max) {
        if (max == 6 && v == 3)
            r->procedure->Cancel();
    });
    EXPECT_FALSE(r->finish());
    EXPECT_TRUE(r->messageIds.isEmpty());
    EXPECT_EQ(r->procedure->PartlyWrittenAddress(), kConfiguredAddress);
    const QStringList sent = texts(r->frames());
    EXPECT_FALSE(sent.contains(write(kConfiguredAddress, kRegBlocksWritten, 0)));
    EXPECT_FALSE(sent.contains(reset(kConfiguredAddress, 1)));
}

TEST_F(TransferFixture, APortThatDoesNotOpenIsReported) {
    for (const Iface iface : {Iface::Aux, Iface::Single}) {
        SCOPED_TRACE(ifaceName(iface));
        TraceCapture trace;
        VirtualClock clock;
        WirrelObj component(clock);
        CCommConfig comm;
        comm.setInterfaceType(static_cast<qint16>(iface));
        CNetworkAddMsgSetup network;
        network.setSelNetworkAdd(1);
        TransferProcedure p(clock, component, archive);
        QList<int> ids;
        QObject::connect(&p, &TransferProcedure::message,
                         [&](int id, const QString&, int) { ids << id; });
        p.setAction(0);
        p.Create(comm, network);
        p.link().setPortName(files.file("no-such-tty"));
        QStringList texts;
        QObject::connect(&p, &TransferProcedure::message,
                         [&](int, const QString& t, int) { texts << t; });
        EXPECT_EQ(RunToFinish(p, clock), EngineOutcome::Failed);
        EXPECT_EQ(ids, QList<int>{209});
        ASSERT_EQ(texts.size(), 1);
        EXPECT_TRUE(texts.at(0).startsWith(ResString(209)));
        EXPECT_TRUE(texts.at(0).endsWith(files.file("no-such-tty") + " does not exist."))
            << texts.at(0).toStdString();
        EXPECT_TRUE(trace.lines.contains("Errore nell'apertura della porta seriale"));
    }
}

TEST_F(TransferFixture, AFailedResetEndsTheOperation) {
    for (qint32 action = 0; action <= 7; ++action) {
        SCOPED_TRACE(action);
        auto r = rig(0x00240004, Iface::Network3);
        r->net.setFaults({{SimFault::Silent, 0, 0}});
        r->make(action, -1, files.path());
        // Address 1 answers the search; address 2 goes silent.
        QObject::connect(r->procedure.get(), &TransferProcedure::connectionLine,
                         [&](const QString& t) {
                             r->net.setFaults(t == FormatResString(222, "2")
                                                  ? QList<SimFaultSpec>{{SimFault::Silent, 0, 0}}
                                                  : QList<SimFaultSpec>{});
                         });
        EXPECT_FALSE(r->finish());
        EXPECT_EQ(r->messageIds, QList<int>{207});
        for (const SentFrame& f : r->frames())
            EXPECT_NE(f.address, 3);
    }
}

// A network of 1, 2 and 4 handled as 1..4: address 3 is silent. Without --keep-going the
// operation stops there and says what was done; with it, 4 is written too. Either way each
// address ends with its outcome.
TEST_F(TransferFixture, ASilentAddressOfANetworkIsNamedAndKeepGoingCarriesOn) {
    using O = TransferProcedure::AddressOutcome;
    const qint32 model = 0x00240004;
    const qint32 id = store(model);
    for (const qint32 action : {qint32(TransferProcedure::WriteConfiguration), qint32(3)}) {
        for (const bool keepGoing : {false, true}) {
            SCOPED_TRACE(testing::Message() << "action " << action << " keep going " << keepGoing);
            auto r = rig(model, Iface::Network3);
            r->net = SimNetwork();
            for (const quint8 a : {1, 2, 4})
                r->net.addInstrument(model, a, kConfiguredSpeed);
            r->network.setTotalInstrNetwork(4);
            r->make(action, action == -1 ? id : -1, files.path());
            r->procedure->setKeepGoing(keepGoing);
            QStringList texts;
            QObject::connect(r->procedure.get(), &TransferProcedure::message,
                             [&](int, const QString& t, int) { texts << t; });
            EXPECT_FALSE(r->finish());
            EXPECT_EQ(r->messageIds, QList<int>{207});
            ASSERT_EQ(texts.size(), 1);
            EXPECT_EQ(texts.at(0), ResString(207) +
                                       "\n\rAddress 3 did not answer (3 tries).\n\rDone: address "
                                       "1, 2" +
                                       (keepGoing ? "; going on with 4." : "; not tried: 4."));
            QList<std::pair<qint16, int>> outcomes;
            for (const O& o : r->procedure->AddressOutcomes())
                outcomes.push_back({o.address, int(o.result)});
            const QList<std::pair<qint16, int>> expected{
                {1, O::Done}, {2, O::Done}, {3, O::Failed}, {4, keepGoing ? O::Done : O::NotTried}};
            EXPECT_EQ(outcomes, expected);
            EXPECT_EQ(r->procedure->AddressOutcomes().at(2).cause,
                      "Address 3 did not answer (3 tries).");
            bool reached4 = false;
            for (const SentFrame& f : r->frames())
                reached4 = reached4 || f.address == 4;
            EXPECT_EQ(reached4, keepGoing);
            if (action == -1 && keepGoing) {
                EXPECT_EQ(r->net.instrument(2).configWord(kRegParam),
                          r->procedure->memoryMap()->ParamMemMap(0));
            }
            EXPECT_FALSE(r->line->isOpen());
        }
    }
}

TEST_F(TransferFixture, AModelMismatchNamesBothModels) {
    auto r = rig(0x00240004, Iface::Network3);
    r->net = SimNetwork();
    r->net.addInstrument(0x00240004, 1, kConfiguredSpeed);
    r->net.addInstrument(0x00230001, 2, kConfiguredSpeed);
    r->net.addInstrument(0x00240004, 3, kConfiguredSpeed);
    r->make(-1, store(0x00240004), files.path());
    r->procedure->setKeepGoing(true);
    QStringList texts;
    QObject::connect(r->procedure.get(), &TransferProcedure::message,
                     [&](int, const QString& t, int) { texts << t; });
    EXPECT_FALSE(r->finish());
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts.at(0), ResString(230) + "\n\rThe configuration is for " +
                               ModelName(0x00240004) + "; the instrument at address 2 is " +
                               ModelName(0x00230001) + ".\n\rDone: address 1; going on with 3.");
    const QList<TransferProcedure::AddressOutcome>& o = r->procedure->AddressOutcomes();
    ASSERT_EQ(o.size(), 3);
    EXPECT_EQ(o.at(1).result, TransferProcedure::AddressOutcome::Failed);
    EXPECT_EQ(o.at(2).result, TransferProcedure::AddressOutcome::Done);
}

}  // namespace
