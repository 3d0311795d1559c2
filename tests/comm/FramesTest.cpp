#include <gtest/gtest.h>

#include <QByteArray>
#include <cmath>

#include "base/Errors.h"
#include "base/MBytes.h"
#include "comm/Frames.h"

using namespace voltaris;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

}  // namespace

// Vectors that do not come from this program: the check value of CRC-16/MODBUS in the
// CRC catalogue of Greg Cook (reveng.sourceforge.io: "123456789" -> 0x4B37) and the read
// request of the Modbus serial-line guide V1.02 (11 03 00 6B 00 03 76 87).
TEST(Crc, PublishedVectors) {
    EXPECT_EQ(Crc16(QByteArrayView("123456789")), 0x4B37);
    EXPECT_EQ(Crc16(hex("1103006B0003")), 0x8776);
    EXPECT_TRUE(VerifyFrameCRC(hex("1103006B00037687")));
    EXPECT_EQ(Crc16(QByteArray()), 0xFFFF);
}

TEST(Crc, CoversEverythingButTheLastTwoBytes) {
    // An 8-byte request: bytes 0..5; a 25-byte reply: bytes 0..22.
    QByteArray request = hex("FF0400D30001AAAA");
    EXPECT_EQ(CalcCRC(request), Crc16(request.left(6)));
    request[6] = 0;
    request[7] = 0;
    EXPECT_EQ(CalcCRC(request), 0xEDD5);

    QByteArray reply(25, '\x11');
    EXPECT_EQ(CalcCRC(reply), Crc16(reply.left(23)));
    reply[23] = 0x00;
    reply[24] = char(0xFF);
    EXPECT_EQ(CalcCRC(reply), Crc16(reply.left(23)));
}

TEST(Crc, StoreAndAppendPutTheLowByteFirst) {
    QByteArray frame = hex("FF0400D300010000");
    StoreCRC(frame);
    EXPECT_EQ(frame, hex("FF0400D30001D5ED"));
    EXPECT_EQ(AppendCRC(hex("FF0400D30001")), hex("FF0400D30001D5ED"));

    QByteArray tiny = hex("01");
    StoreCRC(tiny);  // no room for a CRC: untouched
    EXPECT_EQ(tiny, hex("01"));
}

TEST(Crc, VerifyRefusesSpoiledAndTooShortFrames) {
    const QByteArray good = hex("FF0400D30001D5ED");
    ASSERT_TRUE(VerifyFrameCRC(good));
    for (int i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x01);
        EXPECT_FALSE(VerifyFrameCRC(bad)) << "byte " << i;
    }
    // Swapped CRC bytes (high byte first) are wrong.
    EXPECT_FALSE(VerifyFrameCRC(hex("FF0400D30001EDD5")));
    // Nothing to check: empty, one byte, or only a CRC (0xFFFF is the CRC of nothing).
    EXPECT_FALSE(VerifyFrameCRC(QByteArray()));
    EXPECT_FALSE(VerifyFrameCRC(hex("FF")));
    EXPECT_FALSE(VerifyFrameCRC(hex("FFFF")));
}

struct RequestCase {
    const char* name;
    QByteArray built;
    QByteArray expected;
};

void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << c.name;
}

class Requests : public ::testing::TestWithParam<RequestCase> {};

TEST_P(Requests, MatchTheLayout) {
    EXPECT_EQ(GetParam().built.toHex(' '), GetParam().expected.toHex(' '));
    EXPECT_EQ(GetParam().built.size(), kRequestLength);
    EXPECT_TRUE(VerifyFrameCRC(GetParam().built));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, Requests,
    ::testing::Values(
        // The worked request: model high word from the auxiliary port.
        RequestCase{"ModelHighAux", BuildReadRequest(255, kRegModelHigh, 1),
                    hex("FF0400D30001D5ED")},
        RequestCase{"ReadOneDefault", BuildReadRequest(1, kRegModelLow),
                    AppendCRC(hex("010400DF0001"))},
        RequestCase{"ReadTenParams", BuildReadRequest(7, kRegParam, 10),
                    AppendCRC(hex("07040199000A"))},
        RequestCase{"ReadTwelveLive", BuildReadRequest(1, 120, 12), AppendCRC(hex("01040078000C"))},
        // Words go high byte first; a negative value keeps its two's-complement bytes.
        RequestCase{"WriteUnlock", BuildWriteRequest(3, kRegUnlockBlocks, kUnlockBlocksValue),
                    AppendCRC(hex("030600FFC0C0"))},
        RequestCase{"WriteNegative", BuildWriteRequest(1, kRegParam, -2),
                    AppendCRC(hex("01060199FFFE"))},
        RequestCase{"WriteAfterPulse", BuildWriteRequest(1, kRegBlocksWritten, 0),
                    AppendCRC(hex("010601070000"))},
        // The worked reset: maximum and minimum values for address 1.
        RequestCase{"ResetMaxMin", BuildResetCommand(1, ResetCode::MaxMin),
                    hex("010620EE0600E19F")},
        RequestCase{"ResetTotalByCode", BuildResetCommand(2, quint8(0)),
                    AppendCRC(hex("020620EE0000"))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Frames, ResetCodesAreTheInstrumentsOwn) {
    const std::pair<ResetCode, int> codes[] = {
        {ResetCode::Total, 0},       {ResetCode::Demand, 1},        {ResetCode::EnergyAndHours, 2},
        {ResetCode::TotalEnergy, 3}, {ResetCode::PartialEnergy, 4}, {ResetCode::HourCounter, 5},
        {ResetCode::MaxMin, 6}};
    for (const auto& [code, value] : codes) {
        const QByteArray frame = BuildResetCommand(9, code);
        EXPECT_EQ(quint8(frame[4]), value);
        EXPECT_EQ(quint8(frame[5]), 0);
        EXPECT_EQ(quint8(frame[2]), 0x20);
        EXPECT_EQ(quint8(frame[3]), 0xEE);
    }
}

TEST(Frames, ReplyLengths) {
    const std::pair<int, int> lengths[] = {{1, 7}, {2, 9}, {5, 15}, {8, 21}, {10, 25}, {12, 29}};
    for (const auto& [count, length] : lengths)
        EXPECT_EQ(ReadReplyLength(count), length) << count;
}

TEST(Frames, ReplyWordsAreSignedHighByteFirst) {
    // address, function, byte count, words FFFE 7FFF 8000 0123, CRC
    const QByteArray reply = AppendCRC(hex("010408FFFE7FFF80000123"));
    EXPECT_EQ(ReplyWord(reply, 0), -2);
    EXPECT_EQ(ReplyWord(reply, 1), 32767);
    EXPECT_EQ(ReplyWord(reply, 2), -32768);
    EXPECT_EQ(ReplyWord(reply, 3), 0x0123);
    EXPECT_EQ(ReplyWords(reply, 4), (QVector<qint16>{-2, 32767, -32768, 0x0123}));
}

TEST(Frames, ReplyWordBeyondTheReplyThrows) {
    const QByteArray reply = AppendCRC(hex("010402FFFE"));  // 7 bytes, one word
    EXPECT_EQ(ReplyWord(reply, 0), -2);
    // Word 1 would need bytes 5 and 6: the CRC bytes are there, so this reads them; word 2
    // would be past the end.
    EXPECT_THROW(ReplyWord(reply, 2), IndexError);
    EXPECT_THROW(ReplyWord(reply, -1), IndexError);
    EXPECT_THROW(ReplyWord(QByteArray(), 0), IndexError);
    EXPECT_THROW(ReplyWords(hex("0104"), 1), IndexError);
}

TEST(Frames, ModelIdentifierFromRegisters211And223) {
    const qint32 detected = ModelFromRegisters(/*223*/ 0x0004, /*211*/ 0x0023);
    EXPECT_EQ(detected, 0x00230004);
    EXPECT_TRUE(ModelMatches(0x01230004, detected));  // the top byte never takes part
    EXPECT_TRUE(ModelMatches(0x7F230004, detected));
    EXPECT_FALSE(ModelMatches(0x01230005, detected));
    EXPECT_FALSE(ModelMatches(0x01240004, detected));
    // A low word with its top bit set stays 16 bits wide.
    EXPECT_EQ(ModelFromRegisters(qint16(0x8010), 0x0001), 0x00018010);
}

TEST(Frames, LiveValuesTakeTheLowWordFirst) {
    EXPECT_EQ(LiveSingle(0x0000, 0x3F80), 1.0f);
    EXPECT_EQ(LiveSingle(0x0000, qint16(0xC2C8)), -100.0f);
    EXPECT_TRUE(std::isnan(LiveSingle(0x0001, 0x7FC0)));
    // Counters 43 to 47 are signed 32-bit integers.
    EXPECT_EQ(LiveCounter(0x0001, 0x0002), 0x00020001);
    EXPECT_EQ(LiveCounter(qint16(0xFFFF), qint16(0xFFFF)), -1);
    EXPECT_EQ(LiveCounter(qint16(0xABCD), 0x0000), 0x0000ABCD);
    for (int v = 0; v < kLiveValueCount; ++v)
        EXPECT_EQ(IsCounterValue(v), v >= 43 && v <= 47) << v;
}

TEST(MBytes, ByteAndWordRoutines) {
    using namespace MBytes;
    EXPECT_EQ(LoByte(0x1234), 0x34);
    EXPECT_EQ(HiByte(0x1234), 0x12);
    EXPECT_EQ(LoByte(-1), 0xFF);
    EXPECT_EQ(HiByte(-2), 0xFF);
    EXPECT_EQ(HiByte(0x12345678), 0x56);
    EXPECT_EQ(MakeWord(0xFE, 0xFF), -2);
    EXPECT_EQ(MakeWord(0x34, 0x12), 0x1234);
    EXPECT_EQ(MakeWord(0x00, 0x80), -32768);
    EXPECT_EQ(LoWord(0x12345678), 0x5678);
    EXPECT_EQ(LoWord(0x0000FFFF), -1);
    EXPECT_EQ(HiWord(0x12345678), 0x1234);
    EXPECT_EQ(HiWord(qint32(0xFFFF0000)), -1);
    EXPECT_EQ(HiWord(-1), -1);
    EXPECT_EQ(MakeLong(0x5678, 0x1234), 0x12345678);
    EXPECT_EQ(MakeLong(-1, 0), 0x0000FFFF);  // lo AND 0xFFFF: no sign spill
    EXPECT_EQ(MakeLong(0, -1), qint32(0xFFFF0000));
    EXPECT_EQ(SingleFromLong(0x3F800000), 1.0f);
    EXPECT_EQ(LongFromSingle(1.0f), 0x3F800000);
    EXPECT_EQ(LongFromSingle(-0.0f), qint32(0x80000000));
    // A limit split into two words and joined again is the same single.
    const float limit = 1234.5678f;
    const qint32 bits = LongFromSingle(limit);
    EXPECT_EQ(SingleFromLong(MakeLong(LoWord(bits), HiWord(bits))), limit);
}
