#include "SimTestSupport.h"

#include "base/Errors.h"
#include "sim/SimInstrument.h"
#include "sim/SimModels.h"

#include <gtest/gtest.h>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint32 kR2 = 0x00240004;  // KM6.1.x.R2.KX: two digital outputs
constexpr quint32 kS1 = 0x00230001;  // KM5.1.x.S1.KX: serial module
constexpr quint32 kA3 = 0x00230303;  // KM5.1.x.A3.KX: three analogue outputs
constexpr quint32 kRS = 0x00240010;  // KM6.1.x.RS.KX: serial module and one output

struct ReadCase {
    const char* what;
    quint32 model;
    quint16 reg;
    quint8 count;
    QVector<qint16> words;  // empty: an exception is expected
    int exception;
};

class RegisterRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RegisterRead, AnswersAsTheRegisterMapSays) {
    const ReadCase& c = GetParam();
    SimNetwork net;
    net.addInstrument(c.model, 7, 1);
    const QByteArray reply = ask(net, BuildReadRequest(7, c.reg, c.count));
    if (c.words.isEmpty()) {
        EXPECT_EQ(exceptionCode(reply), c.exception) << reply.toHex().constData();
        EXPECT_EQ(static_cast<quint8>(reply.at(1)), 0x84);
        return;
    }
    ASSERT_EQ(reply.size(), ReadReplyLength(c.count));
    ASSERT_TRUE(VerifyFrameCRC(reply));
    EXPECT_EQ(static_cast<quint8>(reply.at(0)), 7);
    EXPECT_EQ(reply.at(2), 2 * c.count);
    EXPECT_EQ(ReplyWords(reply, c.count), c.words);
}

const qint16 kBB = static_cast<qint16>(0xBBBB);

INSTANTIATE_TEST_SUITE_P(
    Map, RegisterRead,
    ::testing::Values(
        ReadCase{"model high word", kR2, 211, 1, {0x0024}, 0},
        ReadCase{"model low word", kR2, 223, 1, {0x0004}, 0},
        ReadCase{"variant byte not reported", 0x01240004, 211, 1, {0x0024}, 0},
        ReadCase{"A3 model low word", kA3, 223, 1, {0x0303}, 0},
        ReadCase{"parameter block, factory", kS1, 409, 10, {0, 1, 10, 1, 1, 15, 15, 0, 7, 1}, 0},
        ReadCase{"wiring system", kR2, 416, 1, {0}, 0},
        ReadCase{"digital output block, 420/421 read 0", kR2, 419, 5, {0, 0, 0, kBB, 0}, 0},
        ReadCase{"register 424 reads 0", kR2, 424, 1, {0}, 0},
        ReadCase{"pulse words", kR2, 577, 2, {0x002B, 1}, 0},
        ReadCase{"pulse words of output 2", kR2, 585, 2, {0x042B, 1}, 0},
        ReadCase{"alarm states", kR2, 259, 2, {0, 0}, 0},
        ReadCase{"between the model words", kR2, 212, 1, {}, 2},
        ReadCase{"past the configuration", kR2, 592, 2, {}, 2},
        ReadCase{"the unlock register", kR2, 255, 1, {}, 2},
        ReadCase{"no registers", kR2, 409, 0, {}, 3},
        ReadCase{"more than 125 registers", kR2, 0, 126, {}, 3}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SimInstrument, LastLiveReadCarriesTwoValueWordsAndZeros) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    const auto words = readWords(net, 1, 120, 12);
    ASSERT_TRUE(words);
    // Register 120/121 is value 60 (PF L3 min), a plausible power factor.
    const float pf = LiveSingle(words->at(0), words->at(1));
    EXPECT_GT(pf, 0.8f);
    EXPECT_LE(pf, 1.0f);
    for (int i = 2; i < 12; ++i)
        EXPECT_EQ(words->at(i), 0) << i;
}

TEST(SimInstrument, OtherFunctionsAreRefused) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    QByteArray holding = BuildReadRequest(1, 409, 1);
    holding[1] = 0x03;
    StoreCRC(holding);
    const QByteArray reply = ask(net, holding);
    EXPECT_EQ(exceptionCode(reply), 1);
    EXPECT_EQ(static_cast<quint8>(reply.at(1)), 0x83);
}

struct WriteCase {
    const char* what;
    quint32 model;
    quint16 reg;
    quint16 value;
    int exception;  // 0: echoed and stored
};

class RegisterWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(RegisterWrite, StoresOrRefuses) {
    const WriteCase& c = GetParam();
    SimNetwork net;
    net.addInstrument(c.model, 1, 1);
    const QByteArray req = BuildWriteRequest(1, c.reg, static_cast<qint16>(c.value));
    const QByteArray reply = ask(net, req);
    if (c.exception != 0) {
        EXPECT_EQ(exceptionCode(reply), c.exception) << reply.toHex().constData();
        EXPECT_EQ(static_cast<quint8>(reply.at(1)), 0x86);
        return;
    }
    EXPECT_EQ(reply, req);
    if (c.reg >= 409 && c.reg <= 592 && c.reg != 417 && c.reg != 418) {
        EXPECT_EQ(net.instrument(0).configWord(c.reg), static_cast<qint16>(c.value));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Map, RegisterWrite,
    ::testing::Values(
        WriteCase{"parameter word 0", kR2, 409, 0, 0},
        WriteCase{"CT ratio above 32767", kR2, 410, 40000, 0},
        WriteCase{"VT ratio", kR2, 411, 600, 0}, WriteCase{"wiring system", kR2, 416, 4, 0},
        WriteCase{"analogue output", kA3, 425, 6, 0},
        WriteCase{"last analogue word", kA3, 448, 0x4120, 0},
        WriteCase{"analogue output on a relay model", kR2, 425, 6, 2},
        WriteCase{"address on a model without serial module", kR2, 417, 5, 2},
        WriteCase{"speed on a model without serial module", kA3, 418, 2, 2},
        WriteCase{"address 0", kS1, 417, 0, 3}, WriteCase{"address 256", kS1, 417, 256, 3},
        WriteCase{"speed code 4", kS1, 418, 4, 3},
        WriteCase{"alarm block without 255 first", kR2, 449, 6, 4},
        WriteCase{"output functions without 255 first", kR2, 422, 0xAAAA, 4},
        WriteCase{"output block on a serial-only model", kS1, 449, 6, 2},
        WriteCase{"255 with another value", kR2, 255, 0x1234, 3},
        WriteCase{"255 on a model without outputs", kS1, 255, 0xC0C0, 2},
        WriteCase{"263 with another value", kR2, 263, 1, 3},
        WriteCase{"263 without a programming session", kR2, 263, 0, 0},
        WriteCase{"register 420", kR2, 420, 1, 2}, WriteCase{"register 424", kR2, 424, 1, 2},
        WriteCase{"live register", kR2, 0, 1, 2}, WriteCase{"model register", kR2, 211, 1, 2},
        WriteCase{"reset code 7", kR2, 8430, 0x0700, 3},
        WriteCase{"reset with a low byte", kR2, 8430, 0x0601, 3}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(SimInstrument, OutputModuleWritesArePendingUntil263) {
    SimNetwork net;
    SimInstrument& inst = net.addInstrument(kR2, 1, 1);
    ASSERT_TRUE(writeWord(net, 1, 255, kUnlockBlocksValue));
    EXPECT_TRUE(inst.outputProgrammingOpen());
    ASSERT_TRUE(writeWord(net, 1, 422, static_cast<qint16>(0xBBAA)));
    ASSERT_TRUE(writeWord(net, 1, 449, 0x0006));
    ASSERT_TRUE(writeWord(net, 1, 592, 3));
    // Read back as written, but not applied yet.
    EXPECT_EQ(readWord(net, 1, 422), static_cast<qint16>(0xBBAA));
    EXPECT_EQ(readWord(net, 1, 449), 6);
    EXPECT_EQ(inst.configWord(422), static_cast<qint16>(0xBBBB));
    ASSERT_TRUE(writeWord(net, 1, 263, 0));
    EXPECT_FALSE(inst.outputProgrammingOpen());
    EXPECT_EQ(inst.configWord(422), static_cast<qint16>(0xBBAA));
    EXPECT_EQ(inst.configWord(449), 6);
    EXPECT_EQ(inst.configWord(592), 3);
    // The session is over: further writes are refused again.
    EXPECT_EQ(exceptionCode(ask(net, BuildWriteRequest(1, 449, 1))), 4);
}

TEST(SimInstrument, AnswersOnlyAtItsSpeedAndLineFormat) {
    struct Case {
        qint32 baud;
        int dataBits;
        Transport::Parity parity;
        bool answers;
    };
    const Case cases[] = {
        {9600, 8, Transport::Parity::None, true},   {4800, 8, Transport::Parity::None, false},
        {19200, 8, Transport::Parity::None, false}, {38400, 8, Transport::Parity::None, false},
        {9600, 8, Transport::Parity::Even, false},  {9600, 7, Transport::Parity::None, false},
    };
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    for (const Case& c : cases) {
        Transport::LineSettings s = line(c.baud);
        s.dataBits = c.dataBits;
        s.parity = c.parity;
        const SimReply r = net.handleRequest(BuildReadRequest(1, 211), s, 0);
        EXPECT_EQ(!r.bytes.isEmpty(), c.answers) << c.baud << " " << c.dataBits;
    }
    EXPECT_EQ(net.answeredCount(), 1);
}

TEST(SimInstrument, AddressChangeTakesEffectAfterTheEcho) {
    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    const QByteArray req = BuildWriteRequest(1, 417, 42);
    EXPECT_EQ(ask(net, req), req);  // the echo still carries the old address
    EXPECT_FALSE(readWord(net, 1, 211));
    EXPECT_EQ(readWord(net, 42, 211), 0x0023);
    EXPECT_EQ(readWord(net, 42, 417), 42);
}

TEST(SimInstrument, SpeedChangeReplyGoesOutAtTheNewSpeed) {
    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    const QByteArray req = BuildWriteRequest(1, 418, 3);
    const QByteArray reply = ask(net, req, 9600);
    EXPECT_FALSE(reply.isEmpty());
    EXPECT_NE(reply, req);
    EXPECT_FALSE(VerifyFrameCRC(reply));
    EXPECT_FALSE(readWord(net, 1, 211, 9600));
    EXPECT_EQ(readWord(net, 1, 418, 38400), 3);
}

TEST(SimInstrument, AuxiliaryPortAnswers255At4800Only) {
    SimNetwork net;
    net.addInstrument(kRS, 7, 2);
    net.setAuxiliary(true);
    EXPECT_EQ(net.lineAddress(0), 255);
    EXPECT_EQ(net.lineBaud(0), 4800);
    EXPECT_EQ(readWord(net, 255, 211, 4800), 0x0024);
    EXPECT_FALSE(readWord(net, 7, 211, 19200));
    EXPECT_FALSE(readWord(net, 255, 211, 19200));
    // The serial module's settings are stored; the auxiliary port stays as it is.
    const QByteArray req = BuildWriteRequest(255, 418, 0);
    EXPECT_EQ(ask(net, req, 4800), req);
    EXPECT_TRUE(writeWord(net, 255, 417, 9, 4800));
    EXPECT_EQ(readWords(net, 255, 417, 2, 4800), (QVector<qint16>{9, 0}));
    EXPECT_EQ(readWord(net, 255, 211, 4800), 0x0024);
}

TEST(SimInstrument, NetworkRoutesByAddressAndSpeed) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.addInstrument(kS1, 2, 1);
    net.addInstrument(kA3, 1, 3);  // same address, another speed
    EXPECT_EQ(readWord(net, 1, 223, 9600), 0x0004);
    EXPECT_EQ(readWord(net, 2, 223, 9600), 0x0001);
    EXPECT_EQ(readWord(net, 1, 223, 38400), 0x0303);
    EXPECT_FALSE(readWord(net, 3, 223, 9600));
    EXPECT_THROW(net.addInstrument(kR2, 2, 1), VoltarisError);
}

TEST(SimInstrument, TwoInstrumentsAtOneAddressCollide) {
    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    net.addInstrument(kS1, 2, 1);
    ASSERT_TRUE(writeWord(net, 2, 417, 1));
    const QByteArray reply = ask(net, BuildReadRequest(1, 0, 12));
    EXPECT_EQ(reply.size(), ReadReplyLength(12));
    EXPECT_FALSE(VerifyFrameCRC(reply));
}

TEST(SimInstrument, WritesChangeWhatTheLiveValuesUse) {
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    ASSERT_TRUE(writeWord(net, 1, 416, 4));
    ASSERT_TRUE(writeWord(net, 1, 410, 200));
    const QVector<qint16> w = readLive(net, 1, 0);
    ASSERT_EQ(w.size(), 122);
    // A L1 with CT 200: up to 5 A x 200 at the secondary's full scale.
    EXPECT_GT(liveSingle(w, 6), 100.0f);
    EXPECT_LT(liveSingle(w, 6), 1000.0f);
    EXPECT_EQ(liveSingle(w, 6), liveSingle(w, 7));
    EXPECT_EQ(readWord(net, 1, 416), 4);
}

TEST(SimModels, CatalogueNamesAndIdentifiers) {
    EXPECT_EQ(ResolveSimModel(QStringLiteral("KM6.1.x.R2.KX")), 0x00240004u);
    EXPECT_EQ(ResolveSimModel(QStringLiteral("km5.1.x.a3.kx")), 0x00230303u);
    EXPECT_EQ(ResolveSimModel(QStringLiteral("0x00220010")), 0x00220010u);
    EXPECT_EQ(ResolveSimModel(QStringLiteral("&h01230004")), 0x01230004u);
    EXPECT_THROW(ResolveSimModel(QStringLiteral("KM9.9")), VoltarisError);
    EXPECT_EQ(SimModelName(0x00240004), QStringLiteral("KM6.1.x.R2.KX"));
    EXPECT_TRUE(SimModelName(0x00990004).isEmpty());
    EXPECT_EQ(SimModelCatalogue().size(), 36);
}

}  // namespace
