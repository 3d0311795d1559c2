#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestSupport.h"
#include "base/SettingsStore.h"

using namespace voltaris;

namespace {

// Points the store at a scratch file for one test; never the user's own settings.
struct ScratchStore {
    test::TempDir dir;
    QString file = dir.file("Voltaris.conf");
    ScratchStore() { SettingsStore::setFileOverride(file); }
    ~ScratchStore() { SettingsStore::setFileOverride({}); }
};

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

}  // namespace

TEST(SettingsStore, TextsRoundTripExactly) {
    ScratchStore scratch;
    const QStringList texts = {"19200",    "1",     "",
                               "a,b",      "@odd",  QString::fromUtf8("Città"),
                               " padded ", "x=y;z", "line\nbreak"};
    {
        SettingsStore store;
        for (int i = 0; i < texts.size(); ++i)
            store.setValue("CCommConfig", "m_K" + QString::number(i), texts[i]);
        store.setValue("Application printer", "m_Name", "Printer 1");
        EXPECT_TRUE(store.sync());
    }
    SettingsStore again;
    for (int i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        EXPECT_TRUE(again.contains("CCommConfig", "m_K" + QString::number(i)));
        EXPECT_EQ(again.value("CCommConfig", "m_K" + QString::number(i), "dflt"), texts[i]);
    }
    EXPECT_EQ(again.value("Application printer", "m_Name"), "Printer 1");
    EXPECT_FALSE(again.contains("CCommConfig", "m_Missing"));
    EXPECT_EQ(again.value("CCommConfig", "m_Missing", "dflt"), "dflt");

    again.remove("CCommConfig", "m_K0");
    EXPECT_FALSE(again.contains("CCommConfig", "m_K0"));
    EXPECT_TRUE(again.contains("CCommConfig", "m_K1"));
    again.removeSection("CCommConfig");
    EXPECT_FALSE(again.contains("CCommConfig", "m_K1"));
    EXPECT_TRUE(again.contains("Application printer", "m_Name"));
}

TEST(SettingsStore, HandEditedListReadsAsText) {
    ScratchStore scratch;
    test::writeFile(scratch.file, "[COption]\nm_Note=one,two\n");
    SettingsStore store;
    EXPECT_EQ(store.value("COption", "m_Note"), "one,two");
}

TEST(SettingsStore, Location) {
    const QByteArray saved = qgetenv("VOLTARIS_SETTINGS");
    const bool had = qEnvironmentVariableIsSet("VOLTARIS_SETTINGS");
    test::TempDir dir;
    qputenv("VOLTARIS_SETTINGS", dir.file("env.conf").toUtf8());
    EXPECT_EQ(SettingsStore::location(), dir.file("env.conf"));
    {
        SettingsStore store;
        store.setValue("S", "k", "v");
        EXPECT_TRUE(store.sync());
    }
    EXPECT_TRUE(test::readFile(dir.file("env.conf")).contains("k=v"));
    SettingsStore::setFileOverride(dir.file("override.conf"));
    EXPECT_EQ(SettingsStore::location(), dir.file("override.conf"));
    SettingsStore::setFileOverride({});
    qunsetenv("VOLTARIS_SETTINGS");
    EXPECT_TRUE(SettingsStore::location().endsWith("/Voltaris.ini"));
    if (had)
        qputenv("VOLTARIS_SETTINGS", saved);
}

TEST(SettingsStore, WindowPlacementDefaultsAndDamagedValues) {
    ScratchStore scratch;
    SettingsStore store;
    struct Case {
        SettingKey id;
        const char* stored;  // nullptr: missing
        qint32 expected;
    };
    const Case cases[] = {
        {SettingKey::MainLeft, nullptr, 100},
        {SettingKey::MainTop, nullptr, 100},
        {SettingKey::MainWidth, nullptr, 6800},
        {SettingKey::MainHeight, nullptr, 3750},
        {SettingKey::WindowState, nullptr, 0},
        {SettingKey::MainLeft, "-1200", -1200},
        {SettingKey::MainTop, "garbage", 100},
        {SettingKey::MainWidth, "9000", 9000},
        {SettingKey::MainWidth, "0", 6800},
        {SettingKey::MainHeight, "", 3750},
        {SettingKey::MainHeight, "99999999999", 3750},
        {SettingKey::WindowState, "2", 2},
        {SettingKey::WindowState, "3", 0},
        {SettingKey::WindowState, "-1", 0},
        {SettingKey::WindowState, "1", 1},
    };
    for (const Case& c : cases) {
        const SettingDef& d = settingDef(c.id);
        SCOPED_TRACE(std::string(d.key) + "=" + (c.stored ? c.stored : "(missing)"));
        EXPECT_STREQ(d.section, "Settings");
        if (c.stored)
            store.setValue("Settings", d.key, c.stored);
        else
            store.remove("Settings", d.key);
        EXPECT_EQ(readSetting(store, c.id), c.expected);
    }
    writeSetting(store, SettingKey::MainLeft, 1500);
    EXPECT_EQ(store.value("Settings", "MainLeft"), "1500");
}

TEST(StoredText, Integers) {
    struct Case {
        const char* text;
        qint16 as16;
        qint32 as32;
    };
    const Case cases[] = {
        {"12", 12, 12},       {" -7 ", -7, -7},       {"32767", 32767, 32767},
        {"32768", 99, 32768}, {"-32769", 99, -32769}, {"2147483648", 99, 99},
        {"2.5", 2, 2},        {"3.5", 4, 4},          {"", 99, 99},
        {"12abc", 99, 99},    {"abc", 99, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FromStoredText<qint16>(c.text, 99), c.as16);
        EXPECT_EQ(FromStoredText<qint32>(c.text, 99), c.as32);
    }
    EXPECT_EQ(ToStoredText(qint16(-32768)), "-32768");
    EXPECT_EQ(ToStoredText(qint32(2147483647)), "2147483647");
}

TEST(StoredText, Singles) {
    for (float v : {0.f, 0.1f, -1.5f, 1e-7f, 123456.78f, 3.4028235e38f, 1.17549435e-38f}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(FromStoredText<float>(ToStoredText(v), -99.f), v);
    }
    EXPECT_EQ(ToStoredText(0.1f), "0.1");
    EXPECT_EQ(ToStoredText(100000.f), "100000");
    EXPECT_EQ(ToStoredText(-1.5f), "-1.5");
    for (const char* bad : {"", "abc", "1e40", "nan", "inf", "1,5"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(FromStoredText<float>(bad, -99.f), -99.f);
    }
}

TEST(StoredText, BooleansDatesAndTexts) {
    struct BoolCase {
        const char* text;
        bool def;
        bool expected;
    };
    for (const BoolCase& c :
         {BoolCase{"1", false, true}, BoolCase{"0", true, false}, BoolCase{"-1", false, true},
          BoolCase{"True", false, true}, BoolCase{"false", true, false}, BoolCase{"", true, true},
          BoolCase{"yes", false, false}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FromStoredText<bool>(c.text, c.def), c.expected);
    }
    EXPECT_EQ(ToStoredText(true), "1");
    EXPECT_EQ(ToStoredText(false), "0");

    const QDateTime when = at(2005, 12, 9, 14, 3, 22);
    EXPECT_EQ(ToStoredText(when), "2005-12-09T14:03:22");
    EXPECT_EQ(FromStoredText<QDateTime>(ToStoredText(when), {}), when);
    EXPECT_EQ(FromStoredText<QDateTime>("2005-12-09", {}), at(2005, 12, 9, 0, 0, 0));
    EXPECT_EQ(FromStoredText<QDateTime>("09/12/2005", when), when);
    EXPECT_EQ(ToStoredText(QDate(2005, 12, 9)), "2005-12-09");
    EXPECT_EQ(FromStoredText<QDate>("2005-12-09T14:03:22", {}), QDate(2005, 12, 9));
    EXPECT_EQ(FromStoredText<QDate>("2005-13-01", QDate(2000, 1, 1)), QDate(2000, 1, 1));

    EXPECT_EQ(FromStoredText<QString>("", "dflt"), "");
    EXPECT_EQ(ToStoredText(QString(" as is ")), " as is ");
}

TEST(SettingsStore, TypedReadAndWrite) {
    ScratchStore scratch;
    SettingsStore store;
    store.write("CCommConfig", "m_InterfaceType", qint16(2));
    store.write("CCommConfig", "m_Flag", true);
    store.write("CCommConfig", "m_Gain", 0.25f);
    store.setValue("CCommConfig", "m_Broken", "xx");
    EXPECT_EQ(store.value("CCommConfig", "m_InterfaceType"), "2");
    EXPECT_EQ(store.value("CCommConfig", "m_Flag"), "1");
    EXPECT_EQ(store.read("CCommConfig", "m_InterfaceType", qint16(0)), 2);
    EXPECT_TRUE(store.read("CCommConfig", "m_Flag", false));
    EXPECT_EQ(store.read("CCommConfig", "m_Gain", 0.f), 0.25f);
    EXPECT_EQ(store.read("CCommConfig", "m_Broken", qint32(5)), 5);
    EXPECT_EQ(store.read("CCommConfig", "m_Missing", QString("keep")), "keep");
}
