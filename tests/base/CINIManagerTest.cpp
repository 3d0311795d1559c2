#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "base/CINIManager.h"

using namespace voltaris;

namespace {

const QByteArray kSample =
    "; written by hand\r\n"
    "[CCommConfig]\r\n"
    "m_Port=2\r\n"
    "m_BaudRate = 19200 \r\n"
    "damaged line without equals\r\n"
    "m_Negative=-5\r\n"
    "m_Text=abc def\r\n"
    "m_Flag=1\r\n"
    "m_FlagTwo=2\r\n"
    "m_FlagDec=1.0\r\n"
    "m_Single=1.5\r\n"
    "m_Date=2005-12-09T14:03:22\r\n"
    "m_Big=99999999999\r\n"
    "m_Garbage=xyz\r\n"
    "m_IntBig=40000\r\n"
    "\r\n"
    "[Other]\r\n"
    "ab=1\r\n"
    "cd=2\r\n";

struct Fixture {
    test::TempDir dir;
    QString file = dir.file("setup.ini");
    CINIManager ini;
    explicit Fixture(const QByteArray& content = kSample) {
        test::writeFile(file, content);
        ini.Create(file);
    }
    QByteArray bytes() const { return test::readFile(file); }
};

}  // namespace

TEST(INIManager, ExistenceIsASubstringTest) {
    Fixture f;
    struct Case {
        const char* section;
        const char* key;  // nullptr: section test only
        bool exists;
    };
    const Case cases[] = {
        {"CCommConfig", nullptr, true},
        {"ccommconfig", nullptr, true},
        {"Comm", nullptr, true},
        {"Config]", nullptr, false},
        {"", nullptr, false},
        {"Missing", nullptr, false},
        {"CCommConfig", "m_Port", true},
        {"CCOMMCONFIG", "M_PORT", true},
        {"CCommConfig", "Port", true},
        {"CCommConfig", "damaged", false},
        {"CCommConfig", "", false},
        {"CCommConfig", "ab", false},
        {"Comm", "m_Port", false},  // the section passes, but no section is named "Comm"
        {"Other", "ab", true},
        {"Other", "bc", false},  // names are separated in the list: no match across them
        {"Other", "m_Port", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + (c.key ? c.key : "-"));
        if (c.key)
            EXPECT_EQ(f.ini.INIKeyExist(c.section, c.key), c.exists);
        else
            EXPECT_EQ(f.ini.INISectionExist(c.section), c.exists);
    }
}

TEST(INIManager, Readers) {
    Fixture f;
    const QString s = "CCommConfig";
    EXPECT_EQ(f.ini.INIGetString(s, "m_Text", "dflt"), "abc def");
    EXPECT_EQ(f.ini.INIGetString(s, "m_BaudRate", "dflt"), "19200");
    EXPECT_EQ(f.ini.INIGetString(s, "Port", "dflt"), "dflt");  // exists as substring only
    EXPECT_EQ(f.ini.INIGetString("Missing", "m_Text", "dflt"), "dflt");

    struct LongCase {
        const char* key;
        qint32 expected;
    };
    for (const LongCase& c :
         {LongCase{"m_BaudRate", 19200}, LongCase{"m_Negative", 0}, LongCase{"m_Garbage", 0},
          LongCase{"m_Big", 0}, LongCase{"m_Single", 1}, LongCase{"m_Missing", 77}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(f.ini.INIGetLong(s, c.key, 77), c.expected);
    }

    EXPECT_EQ(f.ini.INIGetInt(s, "m_Negative", 9), -5);
    EXPECT_EQ(f.ini.INIGetInt(s, "m_Garbage", 9), 9);
    EXPECT_EQ(f.ini.INIGetInt(s, "m_IntBig", 9), 9);
    EXPECT_EQ(f.ini.INIGetSingle(s, "m_Single", 0.f), 1.5f);
    EXPECT_EQ(f.ini.INIGetSingle(s, "m_Garbage", 2.5f), 2.5f);
    EXPECT_EQ(f.ini.INIGetDate(s, "m_Date", {}), QDateTime(QDate(2005, 12, 9), QTime(14, 3, 22)));

    struct BoolCase {
        const char* key;
        bool def;
        bool expected;
    };
    for (const BoolCase& c :
         {BoolCase{"m_Flag", false, true}, BoolCase{"m_FlagTwo", true, false},
          BoolCase{"m_FlagDec", false, true}, BoolCase{"m_Negative", true, false},
          BoolCase{"m_Garbage", true, false}, BoolCase{"m_Missing", true, true}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(f.ini.INIGetBool(s, c.key, c.def), c.expected);
    }
}

TEST(INIManager, ListsAndValuesAreCutAt1024Characters) {
    QByteArray content = "[Many]\n";
    for (int i = 0; i < 40; ++i)  // 40 keys of 30 characters: the list runs past 1024
        content += QByteArray("k") + QByteArray::number(i).rightJustified(29, '0') + "=v\n";
    content += "[Long]\nvalue=" + QByteArray(1500, 'x') + "\n";
    Fixture f(content);
    EXPECT_TRUE(f.ini.INIKeyExist("Many", "k" + QString::number(0).rightJustified(29, '0')));
    const QString last = "k" + QString::number(39).rightJustified(29, '0');
    EXPECT_FALSE(f.ini.INIKeyExist("Many", last));
    EXPECT_EQ(f.ini.INIGetString("Many", last, "dflt"), "dflt");
    EXPECT_EQ(f.ini.INIGetString("Long", "value", ""), QString(1024, 'x'));
}

TEST(INIManager, WritingKeepsTheRestOfTheFile) {
    Fixture f;
    EXPECT_TRUE(f.ini.INIAddKeyLong("ccommconfig", "M_PORT", 3));
    EXPECT_TRUE(f.ini.INIAddKeyString("CCommConfig", "m_New", "new"));
    EXPECT_TRUE(f.ini.INIAddKeyBool("Added", "m_On", true));
    EXPECT_TRUE(f.ini.INIAddKeyBool("Added", "m_Off", false));
    QByteArray expected = kSample;
    expected.replace("m_Port=2", "m_Port=3");
    expected.replace("m_IntBig=40000\r\n", "m_IntBig=40000\r\nm_New=new\r\n");
    expected += "\r\n[Added]\r\nm_On=1\r\nm_Off=0\r\n";
    EXPECT_EQ(f.bytes(), expected);
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"setup.ini"});
}

TEST(INIManager, TypedValuesRoundTrip) {
    test::TempDir dir;
    CINIManager ini(dir.file("new.ini"));
    const QDateTime when(QDate(2024, 2, 29), QTime(23, 59, 1));
    ASSERT_TRUE(ini.INIAddKeyInt("S", "i", -32768));
    ASSERT_TRUE(ini.INIAddKeyLong("S", "l", 2147483647));
    ASSERT_TRUE(ini.INIAddKeySingle("S", "f", 0.1f));
    ASSERT_TRUE(ini.INIAddKeyDate("S", "d", when));
    ASSERT_TRUE(ini.INIAddKeyString("S", "t", QString::fromUtf8("Città")));
    EXPECT_EQ(ini.INIGetInt("S", "i", 0), -32768);
    EXPECT_EQ(ini.INIGetLong("S", "l", 0), 2147483647);
    EXPECT_EQ(ini.INIGetSingle("S", "f", 0.f), 0.1f);
    EXPECT_EQ(ini.INIGetDate("S", "d", {}), when);
    EXPECT_EQ(ini.INIGetString("S", "t", ""), QString::fromUtf8("Città"));
    EXPECT_TRUE(test::readFile(dir.file("new.ini")).contains("t=Citt\xe0\r\n"));
}

TEST(INIManager, RefusedWritesLeaveTheFileAlone) {
    Fixture f;
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Case& c : {Case{"", "k", "v"}, Case{"S", "", "v"}, Case{"S", "a=b", "v"},
                          Case{"S]", "k", "v"}, Case{"S", "k\nx", "v"}, Case{"S", "k", "v\r\n[X]"},
                          Case{"S", "[k", "v"}, Case{"S", ";k", "v"}}) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + "/" + c.value);
        EXPECT_FALSE(f.ini.INIAddKeyString(c.section, c.key, c.value));
    }
    EXPECT_FALSE(f.ini.INIAddKeyLong("CCommConfig", "m_Port", -1));
    EXPECT_EQ(f.bytes(), kSample);

    CINIManager unnamed;
    EXPECT_FALSE(unnamed.INIAddKeyString("S", "k", "v"));
    EXPECT_EQ(unnamed.INIGetString("S", "k", "d"), "d");
    CINIManager nowhere(f.dir.file("no/such/folder/x.ini"));
    EXPECT_FALSE(nowhere.INIAddKeyString("S", "k", "v"));
}

TEST(INIManager, Delete) {
    Fixture f;
    EXPECT_FALSE(f.ini.INIDelKey("CCommConfig", "Port"));  // substring only: nothing removed
    EXPECT_FALSE(f.ini.INIDelSection("Comm"));
    EXPECT_FALSE(f.ini.INIDelSection("Missing"));
    EXPECT_EQ(f.bytes(), kSample);

    EXPECT_TRUE(f.ini.INIDelKey("ccommconfig", "m_text"));
    QByteArray expected = kSample;
    expected.replace("m_Text=abc def\r\n", "");
    EXPECT_EQ(f.bytes(), expected);
    EXPECT_FALSE(f.ini.INIKeyExist("CCommConfig", "m_Text"));

    EXPECT_TRUE(f.ini.INIDelSection("CCommConfig"));
    EXPECT_EQ(f.bytes(), "; written by hand\r\n[Other]\r\nab=1\r\ncd=2\r\n");
    EXPECT_FALSE(f.ini.INISectionExist("CCommConfig"));
}

TEST(INIManager, UnixLineEndingsAreKept) {
    Fixture f("[S]\nk=1\n");
    EXPECT_TRUE(f.ini.INIAddKeyString("S", "j", "2"));
    EXPECT_EQ(f.bytes(), "[S]\nk=1\nj=2\n");
}
