// The memory map file: layout, names, refused files, file errors.

#include <gtest/gtest.h>

#include <QDir>

#include "MemMapTestSupport.h"
#include "TestSupport.h"
#include "TraceCapture.h"
#include "base/Errors.h"
#include "memmap/CGestioneMemMap.h"

using namespace voltaris;
using test::TraceCapture;

namespace {

QByteArray fixture(const char* name) {
    return test::readFile(test::dataPath(QStringLiteral("memmap/") + QLatin1String(name)));
}

// A map with something in every block, to see that a refused file changes nothing.
void fillMap(CGestioneMemMap& map) {
    test::fillConfiguration(map.UserSetup(), 0x00230004, test::OutputUse::BothAlarms, "Kept");
    map.ConvertRecordsToMemoryMap();
    map.setParamMemMap(8, 0x55);
    map.setParamMemMap(9, 0x66);
}

TEST(MemMapFile, LayoutFixturePinsEveryField) {
    TraceCapture trace;
    CGestioneMemMap map;
    map.setParamMemMap(8, 0x55);
    map.setParamMemMap(9, 0x66);
    ASSERT_TRUE(map.ReadMemorySetup(test::dataPath("memmap/layout.ZLA")));
    EXPECT_EQ(map.InstrModel(), 0x01220304);
    EXPECT_EQ(map.UserSetup().UsoInstr().NomeProgramma(), QString("Layout probe"));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(map.ParamMemMap(i), 0x1000 + i);
    EXPECT_EQ(map.ParamMemMap(8), 0x55) << "the address word is not in the file";
    EXPECT_EQ(map.ParamMemMap(9), 0x66) << "the speed word is not in the file";
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(map.AnalogOutMemMap(i), 0x2000 + i);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(map.DigOutMemMap(i), 0x3000 + i);
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(map.AlarmMemMap(i), 0x4000 + i);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(map.PulseMemMap(i), qint16(0xF000 + i));

    // Written again, only the version fields differ: they are the writing program's.
    QByteArray expected = fixture("layout.ZLA");
    expected.replace(50, 6, QByteArray::fromHex("01006b000100"));
    EXPECT_EQ(map.MemorySetupBytes().toHex(' ').toStdString(), expected.toHex(' ').toStdString());

    test::TempDir dir;
    const QString path = dir.file("copy.ZLA");
    map.SaveMemorySetup(path);
    EXPECT_EQ(test::readFile(path), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"copy.ZLA"});
}

TEST(MemMapFile, NamesAreCutPaddedAndTrimmed) {
    const struct {
        QString name;
        QByteArray field;  // the 50 bytes in the file
        QString read;
    } cases[] = {
        {QString(60, 'x') + "y", QByteArray(50, 'x'), QString(50, 'x')},
        {"Quadro A   ", "Quadro A" + QByteArray(42, ' '), "Quadro A"},
        {"  Rientro", "  Rientro" + QByteArray(41, ' '), "  Rientro"},
        {QString::fromUtf8("Cabina \u00e8"), "Cabina \xe8" + QByteArray(42, ' '),
         QString::fromUtf8("Cabina \u00e8")},
        {QString::fromUtf8("\u03a9 meter"), "? meter" + QByteArray(43, ' '), "? meter"},
        {QString(), QByteArray(50, ' '), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        CGestioneMemMap map;
        map.UserSetup().UsoInstr().setNomeProgramma(c.name);
        const QByteArray bytes = map.MemorySetupBytes();
        ASSERT_EQ(bytes.size(), CGestioneMemMap::FileSize);
        EXPECT_EQ(bytes.mid(56, 50), c.field);
        CGestioneMemMap read;
        ASSERT_TRUE(read.ReadMemorySetupBytes(bytes));
        EXPECT_EQ(read.UserSetup().UsoInstr().NomeProgramma(), c.read);
    }
}

TEST(MemMapFile, HeaderCarriesIdentificationAndVersion) {
    CGestioneMemMap map;
    map.setInstrModel(qint32(0xFEDCBA98));
    const QByteArray bytes = map.MemorySetupBytes();
    EXPECT_EQ(bytes.left(50), "VoltarisEng" + QByteArray(39, ' '));
    EXPECT_EQ(bytes.mid(50, 6), QByteArray::fromHex("01006b000100"));
    EXPECT_EQ(bytes.mid(106, 4), QByteArray::fromHex("98badcfe"));
}

TEST(MemMapFile, RefusedFilesChangeNothing) {
    const QByteArray layout = fixture("layout.ZLA");
    const auto withId = [&layout](const QByteArray& id) {
        QByteArray b = id.leftJustified(50, ' ', true);
        return b + layout.mid(50);
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"another program", fixture("foreign.ZLA")},
        {"short", fixture("short.ZLA")},
        {"empty", fixture("empty.ZLA")},
        {"one byte short", layout.left(467)},
        {"one byte more", layout + '\0'},
        {"trailing data", layout + QByteArray(100, '\xAB')},
        {"identification only", layout.left(50)},
        {"other case", withId("voltariseng")},
        {"longer name", withId("VoltarisEng2")},
        {"leading blank", withId(" VoltarisEng")},
        {"tab after the name", withId("VoltarisEng\t")},
        {"nul after the name", withId(QByteArray("VoltarisEng\0", 12))},
        {"all blank", withId(QByteArray())},
    };
    TraceCapture trace;
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.file("refused.ZLA");
        test::writeFile(path, c.bytes);
        CGestioneMemMap map;
        fillMap(map);
        const QList<qint16> words = test::allWords(map);
        EXPECT_FALSE(map.ReadMemorySetup(path));
        EXPECT_FALSE(map.ReadMemorySetupBytes(c.bytes));
        EXPECT_EQ(test::allWords(map), words);
        EXPECT_EQ(map.InstrModel(), 0x00230004);
        EXPECT_EQ(map.UserSetup().UsoInstr().NomeProgramma(), QString("Kept"));
    }
}

TEST(MemMapFile, FilesThatCannotBeOpenedAreErrorsNamingThem) {
    test::TempDir dir;
    CGestioneMemMap map;
    const QString missing = dir.file("nowhere/absent.ZLA");
    const QString folder = dir.path();
    for (const QString& path : {missing, folder}) {
        SCOPED_TRACE(path.toStdString());
        try {
            map.ReadMemorySetup(path);
            ADD_FAILURE() << "read did not fail";
        } catch (const IoError& e) {
            EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
        }
        try {
            map.SaveMemorySetup(path);
            ADD_FAILURE() << "save did not fail";
        } catch (const IoError& e) {
            EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
}

}  // namespace
