#include "SimTestSupport.h"
#include "TestSupport.h"

#include "base/Errors.h"
#include "sim/SimOptions.h"
#include "sim/SimStateFile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr quint32 kS1 = 0x00230001;
constexpr quint32 kR2 = 0x00240004;

TEST(SimState, WrittenConfigurationSurvivesARestart) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("state.json"));
    {
        SimNetwork net;
        net.addInstrument(kS1, 1, 1);
        net.addInstrument(kR2, 2, 1);
        ASSERT_TRUE(writeWord(net, 1, 410, 150));
        ASSERT_TRUE(writeWord(net, 1, 416, 3));
        ASSERT_TRUE(writeWord(net, 1, 417, 9));
        ASSERT_TRUE(writeWord(net, 2, 255, kUnlockBlocksValue));
        ASSERT_TRUE(writeWord(net, 2, 422, static_cast<qint16>(0xBBAA)));
        ASSERT_TRUE(writeWord(net, 2, 263, 0));
        ASSERT_TRUE(writeWord(net, 2, 255, kUnlockBlocksValue));  // left open: not kept
        ASSERT_TRUE(writeWord(net, 2, 419, 1));
        ASSERT_TRUE(writeWord(net, 2, kRegReset, 0x0300, 9600, 1000));
        EXPECT_TRUE(net.stateDirty());
        SaveSimState(net, path, 60 * 60 * 1000);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("state.json")});

    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    net.addInstrument(kR2, 2, 1);
    EXPECT_TRUE(LoadSimState(net, path, 0).isEmpty());
    EXPECT_FALSE(readWord(net, 1, 211));
    EXPECT_EQ(readWords(net, 9, 409, 10), (QVector<qint16>{0, 150, 10, 1, 1, 15, 15, 3, 9, 1}));
    EXPECT_EQ(readWord(net, 2, 422), static_cast<qint16>(0xBBAA));
    EXPECT_EQ(readWord(net, 2, 419), 0);
    // Counters continue from what was saved: the total reset at 1 s, then an hour.
    const QVector<qint16> live = readLive(net, 2, 0);
    EXPECT_GT(liveCounter(live, 43), 0);
    EXPECT_LT(liveCounter(live, 43), 100);
    EXPECT_GT(liveCounter(live, 45), 12345);
}

TEST(SimState, MissingFileRestoresNothing) {
    TempDir dir;
    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    EXPECT_TRUE(LoadSimState(net, dir.file(QStringLiteral("none.json")), 0).isEmpty());
    EXPECT_EQ(readWord(net, 1, 410), 1);
}

TEST(SimState, EntryOfAnotherModelIsSkippedWithAWarning) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("state.json"));
    {
        SimNetwork net;
        net.addInstrument(kS1, 1, 1);
        ASSERT_TRUE(writeWord(net, 1, 410, 77));
        SaveSimState(net, path, 0);
    }
    SimNetwork net;
    net.addInstrument(kR2, 1, 1);
    net.addInstrument(kS1, 2, 1);
    const QStringList warnings = LoadSimState(net, path, 0);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.at(0).contains(QStringLiteral("0x00230001")))
        << warnings.at(0).toStdString();
    EXPECT_EQ(readWord(net, 1, 410), 1);
}

TEST(SimState, FullDiskFailsNamingTheFileAndKeepsTheOldState) {
    SmallFileSystem fs;
    if (!fs.ok())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const QString path = fs.file(QStringLiteral("state.json"));
    SimNetwork net;
    net.addInstrument(kS1, 1, 1);
    SaveSimState(net, path, 0);
    const QByteArray old = readFile(path);
    net.addInstrument(kR2, 2, 1);
    fs.fillUp();
    try {
        SaveSimState(net, path, 0);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_TRUE(e.message().contains(path + QStringLiteral(": No space left on device")))
            << e.what();
    }
    EXPECT_EQ(readFile(path), old);
}

TEST(SimState, DamagedFilesAreRefusedWithTheirName) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("state.json"));
    SimNetwork good;
    good.addInstrument(kS1, 1, 1);
    SaveSimState(good, path, 0);
    const QJsonObject saved = QJsonDocument::fromJson(readFile(path)).object();
    const auto withInstrument = [&](const char* key, const QJsonValue& v) {
        QJsonObject root = saved;
        QJsonArray list = root.value(QStringLiteral("instruments")).toArray();
        QJsonObject inst = list.at(0).toObject();
        inst[QLatin1String(key)] = v;
        list[0] = inst;
        root[QStringLiteral("instruments")] = list;
        return QJsonDocument(root).toJson();
    };
    QJsonArray shortConfig{1, 2, 3};
    QJsonArray config = saved.value(QStringLiteral("instruments"))
                            .toArray()
                            .at(0)
                            .toObject()
                            .value(QStringLiteral("config"))
                            .toArray();
    QJsonArray badAddress = config;
    badAddress[8] = 0;
    QJsonArray wide = config;
    wide[0] = 70000;
    struct Case {
        const char* what;
        QByteArray content;
    };
    const Case cases[] = {
        {"not JSON", "{ nope"},
        {"another JSON", R"({"format":"something"})"},
        {"another version", R"({"format":"voltaris-sim-state","version":9})"},
        {"short config", withInstrument("config", shortConfig)},
        {"address 0", withInstrument("config", badAddress)},
        {"word too wide", withInstrument("config", wide)},
        {"negative counter",
         withInstrument("counters", QJsonObject{{QStringLiteral("activeTotal"), -1}})},
    };
    for (const Case& c : cases) {
        writeFile(path, c.content);
        SimNetwork net;
        net.addInstrument(kS1, 1, 1);
        try {
            LoadSimState(net, path, 0);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const VoltarisError& e) {
            EXPECT_TRUE(e.message().contains(path)) << c.what << ": " << e.what();
        }
        EXPECT_EQ(readWord(net, 1, 417), 1) << c.what;
    }
}

TEST(SimFrameLog, OneJsonObjectPerFrame) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("frames.jsonl"));
    {
        SimFrameLog log(path);
        SimNetwork net;
        net.addInstrument(kR2, 1, 1);
        net.setLogSink([&log](const QJsonObject& e) { log.write(e); });
        ask(net, BuildReadRequest(1, 211));
        ask(net, BuildReadRequest(1, 211), 19200);
        net.setFaults({SimFaultSpec{SimFault::BadCrc}});
        ask(net, BuildWriteRequest(1, 416, 2));
    }
    const QList<QByteArray> lines = readFile(path).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 5);
    QStringList dirs;
    for (const QByteArray& l : lines) {
        QJsonParseError err;
        const QJsonObject o = QJsonDocument::fromJson(l, &err).object();
        ASSERT_EQ(err.error, QJsonParseError::NoError) << l.constData();
        dirs << o.value(QStringLiteral("dir")).toString();
    }
    EXPECT_EQ(dirs.join(u','), QStringLiteral("rx,tx,rx,rx,tx"));
    const QJsonObject first = QJsonDocument::fromJson(lines.at(0)).object();
    EXPECT_EQ(first.value(QStringLiteral("bytes")).toString(),
              QStringLiteral("01 04 00 d3 00 01 c0 33"));
    EXPECT_EQ(first.value(QStringLiteral("baud")).toInt(), 9600);
    EXPECT_TRUE(QJsonDocument::fromJson(lines.at(2))
                    .object()
                    .value(QStringLiteral("note"))
                    .toString()
                    .startsWith(QStringLiteral("silent")));
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(4)).object().value(QStringLiteral("faults")),
              QJsonValue(QJsonArray{QStringLiteral("badcrc")}));
    EXPECT_THROW(SimFrameLog(dir.file(QStringLiteral("no/such/dir/log"))), IoError);
}

TEST(SimOptions, CommandLines) {
    const auto parse = [](const QString& line) {
        return ParseSimOptions(line.split(u' ', Qt::SkipEmptyParts));
    };
    SimOptions o = parse(QStringLiteral("--pty"));
    EXPECT_EQ(o.mode, SimOptions::Mode::Pty);
    ASSERT_EQ(o.instruments.size(), 1);
    EXPECT_EQ(o.instruments.at(0).model, 0x00230004u);
    EXPECT_EQ(o.instruments.at(0).address, 1);
    EXPECT_EQ(o.instruments.at(0).speedCode, 1);

    o =
        parse(QStringLiteral("--tcp 1502 --instrument KM6.1.x.RS.KX@5:38400 "
                             "--instrument KM6.1.x.R2.KX --instrument KM6.1.x.S1.KX "
                             "--instrument 0x00220004@1:4800 --timing --turnaround 8 "
                             "--state s.json --log f.log --fault badcrc:2 --fault delay:300"));
    EXPECT_EQ(o.mode, SimOptions::Mode::Tcp);
    EXPECT_EQ(o.tcpPort, 1502);
    ASSERT_EQ(o.instruments.size(), 4);
    EXPECT_EQ(o.instruments.at(0).address, 5);
    EXPECT_EQ(o.instruments.at(0).speedCode, 3);
    EXPECT_EQ(o.instruments.at(1).address, 1);  // next free at 9600
    EXPECT_EQ(o.instruments.at(2).address, 2);
    EXPECT_EQ(o.instruments.at(3).address, 1);  // 1 is free at 4800
    EXPECT_TRUE(o.timing.enabled);
    EXPECT_EQ(o.timing.turnaroundMs, 8);
    EXPECT_EQ(o.stateFile, QStringLiteral("s.json"));
    EXPECT_EQ(o.logFile, QStringLiteral("f.log"));
    EXPECT_EQ(o.faults, (QList<SimFaultSpec>{{SimFault::BadCrc, 2, 0}, {SimFault::Delay, 0, 300}}));

    EXPECT_TRUE(parse(QStringLiteral("--help")).help);
    EXPECT_TRUE(parse(QStringLiteral("--pty --aux")).auxiliary);

    for (const char* bad :
         {"", "--pty --tcp 1", "--tcp", "--tcp 70000", "--pty --bogus", "--pty --instrument KM9",
          "--pty --instrument KM6.1.x.R2.KX@0", "--pty --instrument KM6.1.x.R2.KX:1200",
          "--pty --instrument KM6.1.x.R2.KX@3 --instrument KM6.1.x.S1.KX@3",
          "--pty --aux --instrument KM6.1.x.R2.KX --instrument KM6.1.x.S1.KX",
          "--pty --line-baud 9600", "--pty --fault lineerror", "--pty --fault zap",
          "--pty --turnaround -1", "--pty --state"})
        EXPECT_THROW(parse(QString::fromLatin1(bad)), VoltarisError) << bad;
    EXPECT_FALSE(SimUsage().isEmpty());
}

}  // namespace
