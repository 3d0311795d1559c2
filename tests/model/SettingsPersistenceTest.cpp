// Settings records in the per-user settings store and in INI files.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include "ModelTestSupport.h"
#include "base/CINIManager.h"
#include "base/SettingsStore.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/COption.h"
#include "model/CUsoInstr.h"

using namespace voltaris;
using voltaris::test::SettingsFixture;
using voltaris::test::TraceCapture;

namespace {

class SettingsPersistence : public SettingsFixture {
protected:
    TraceCapture trace;
};

TEST_F(SettingsPersistence, FirstStartGivesTheDefaults) {
    CCommConfig comm;
    CNetworkAddMsgSetup net;
    COption option;
    comm.LoadData({});
    net.LoadData({});
    option.LoadData({});
    EXPECT_TRUE(comm.SameData(CCommConfig()));
    EXPECT_TRUE(net.SameData(CNetworkAddMsgSetup()));
    EXPECT_TRUE(option.SameData(COption()));
    EXPECT_EQ(comm.ComPort(), 1);
    EXPECT_EQ(net.TotalInstrNetwork(), 255);
    EXPECT_FALSE(option.PrintHeaderPage() || option.PrintNotePiePagina() ||
                 option.PrintPageNumber());
    EXPECT_FALSE(QFile::exists(storeFile));
}

// Both stores: the settings store (empty file name) and an INI file.
class BothStores : public SettingsPersistence, public testing::WithParamInterface<bool> {
protected:
    QString fileName() const {
        return GetParam() ? dir.file(QStringLiteral("setup.ini")) : QString();
    }
    QString writtenFile() const { return GetParam() ? fileName() : storeFile; }
    // The text stored under section/key, read without the records; invalid when missing.
    QVariant storedText(const QString& section, const QString& key) const {
        if (GetParam()) {
            const CINIManager ini(fileName());
            return ini.INIKeyExist(section, key) ? QVariant(ini.INIGetString(section, key, {}))
                                                 : QVariant();
        }
        const SettingsStore store;
        return store.contains(section, key) ? QVariant(store.value(section, key)) : QVariant();
    }
};

TEST_P(BothStores, EveryStoredPropertyRoundTrips) {
    CCommConfig comm;
    CNetworkAddMsgSetup net;
    COption option;
    QList<CRecord*> records{&comm, &net, &option};
    for (int i = 0; i < records.size(); ++i)
        test::fillDistinct(*records[i], 7 + i);
    for (CRecord* r : records)
        r->SaveData(fileName());

    CCommConfig comm2;
    CNetworkAddMsgSetup net2;
    COption option2;
    QList<CRecord*> loaded{&comm2, &net2, &option2};
    for (int i = 0; i < loaded.size(); ++i) {
        loaded[i]->LoadData(fileName());
        SCOPED_TRACE(loaded[i]->InstanceName().toStdString());
        EXPECT_EQ(test::storedValues(*loaded[i]), test::storedValues(*records[i]));
    }
    // Not stored: back to its default after a restart.
    EXPECT_NE(net.InterfaceType(), 0);
    EXPECT_EQ(net2.InterfaceType(), 0);
    EXPECT_FALSE(storedText("CNetworkAddMsgSetup", "m_InterfaceType").isValid());

    // Sections by class name, booleans as "1", integers as decimal text.
    EXPECT_EQ(storedText("COption", "m_bPrintHeaderPage").toString(), "1");
    EXPECT_EQ(storedText("CCommConfig", "m_ComPort").toString(), "-32768");
    EXPECT_EQ(storedText("COption", "m_NotePiePagina2").toString(), option.NotePiePagina2());
}

TEST_P(BothStores, FalseAndEmptyOverwriteEarlierValues) {
    COption option;
    option.setPrintPageNumber(true);
    option.setNotePiePagina1(QStringLiteral("Quadro generale"));
    option.setHeaderPagePath(QStringLiteral("C:\\Zel\\header.txt"));
    option.SaveData(fileName());
    option.setPrintPageNumber(false);
    option.setNotePiePagina1(QString());
    option.SaveData(fileName());
    EXPECT_EQ(storedText("COption", "m_bPrintPageNumber").toString(), "0");

    COption loaded;
    loaded.setPrintPageNumber(true);
    loaded.setNotePiePagina1(QStringLiteral("stale"));
    loaded.LoadData(fileName());
    EXPECT_FALSE(loaded.PrintPageNumber());
    EXPECT_EQ(loaded.NotePiePagina1(), QString());
    EXPECT_EQ(loaded.HeaderPagePath(), QStringLiteral("C:\\Zel\\header.txt"));
}

TEST_P(BothStores, HandWrittenValues) {
    QFile::remove(writtenFile());
    ASSERT_TRUE(QFile::copy(test::dataPath(QStringLiteral("model/handwritten_settings.ini")),
                            writtenFile()));
    COption option;
    CCommConfig comm;
    CNetworkAddMsgSetup net;
    net.setInterfaceType(1);
    option.LoadData(fileName());
    comm.LoadData(fileName());
    net.LoadData(fileName());

    EXPECT_TRUE(option.PrintHeaderPage());
    EXPECT_FALSE(option.PrintNotePiePagina());
    EXPECT_TRUE(option.PrintPageNumber());
    EXPECT_EQ(option.HeaderPagePath(), QStringLiteral("/home/installer/Zel header.txt"));
    EXPECT_EQ(option.NotePiePagina1(), QStringLiteral("Cabina MT - quadro generale"));
    EXPECT_EQ(option.NotePiePagina2(), QString());
    EXPECT_EQ(comm.ComPort(), 3);
    EXPECT_EQ(comm.InterfaceType(), 0);  // garbled: the default stays
    EXPECT_EQ(net.ModeConfig(), 1);
    EXPECT_EQ(net.TotalInstrNetwork(), 40);
    EXPECT_EQ(net.InterfaceType(), 1);  // never restored from the store
}

INSTANTIATE_TEST_SUITE_P(Stores, BothStores, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("IniFile") : std::string("UserStore");
                         });

TEST_F(SettingsPersistence, AFileNameOnceGivenIsKept) {
    const QString ini = dir.file(QStringLiteral("setup.ini"));
    CCommConfig comm;
    comm.setComPort(2);
    comm.SaveData(ini);
    EXPECT_EQ(comm.FileName(), ini);
    comm.setComPort(3);
    comm.SaveData({});  // still the INI file
    EXPECT_EQ(CINIManager(ini).INIGetInt("CCommConfig", "m_ComPort", -1), 3);
    EXPECT_FALSE(QFile::exists(storeFile));

    CCommConfig other;
    other.setFileName(ini);
    other.LoadData({});
    EXPECT_EQ(other.ComPort(), 3);
}

TEST_F(SettingsPersistence, ArchiveRecordsOnlyRememberTheFileName) {
    const QString ini = dir.file(QStringLiteral("setup.ini"));
    CUsoInstr uso;
    uso.setRapportoTA(400);
    uso.SaveData(ini);
    uso.LoadData({});
    EXPECT_EQ(uso.FileName(), ini);
    EXPECT_EQ(uso.RapportoTA(), 400);
    EXPECT_FALSE(QFile::exists(ini));
    EXPECT_FALSE(QFile::exists(storeFile));
}

struct VariableCase {
    const char* label;
    QVariant value;
    QVariant defaultOfSameType;
    bool stored;
};

TEST_P(BothStores, SaveAndLoadVariableByType) {
    const QDateTime when(QDate(2005, 12, 9), QTime(14, 3, 22));
    const VariableCase cases[] = {
        {"int16", QVariant::fromValue(qint16(-12)), QVariant::fromValue(qint16(5)), true},
        {"int32", QVariant::fromValue(qint32(123456)), QVariant::fromValue(qint32(5)), true},
        {"single", QVariant::fromValue(2.75f), QVariant::fromValue(0.0f), true},
        {"date", QVariant(when), QVariant(QDateTime()), true},
        {"text", QVariant(QStringLiteral("Quadro \u00e8")), QVariant(QString()), true},
        {"true", QVariant(true), QVariant(false), true},
        {"false", QVariant(false), QVariant(true), true},
        {"double", QVariant(2.5), QVariant(1.0), false},
        {"bytes", QVariant(QByteArray("ab")), QVariant(QByteArray()), false},
    };
    CCopyClass store;
    store.SaveData(fileName());
    for (const VariableCase& c : cases) {
        SCOPED_TRACE(c.label);
        const QString key = QStringLiteral("k_") + QLatin1String(c.label);
        store.SaveVariable(key, c.value, QStringLiteral("Types"));
        QVariant loaded = c.defaultOfSameType;
        store.LoadVariable(key, loaded, QStringLiteral("Types"));
        EXPECT_EQ(loaded.metaType(), c.value.metaType());
        EXPECT_EQ(loaded, c.stored ? c.value : c.defaultOfSameType);
        EXPECT_EQ(storedText("Types", key).isValid(), c.stored);
    }
    // A missing key keeps the value given as default.
    QVariant missing = QVariant::fromValue(qint16(42));
    store.LoadVariable(QStringLiteral("k_missing"), missing, QStringLiteral("Types"));
    EXPECT_EQ(missing, QVariant::fromValue(qint16(42)));
}

TEST_F(SettingsPersistence, RefusedWritesAreErrors) {
    // A path below a regular file cannot be created, whoever runs the test.
    const QString blocker = dir.file(QStringLiteral("blocker"));
    test::writeFile(blocker, "x");

    COption option;
    option.setNotePiePagina1(QStringLiteral("x"));
    EXPECT_THROW(option.SaveData(blocker + QStringLiteral("/setup.ini")), IoError);

    // The INI format refuses negative 32-bit values and line breaks.
    CCopyClass ini;
    ini.setFileName(dir.file(QStringLiteral("types.ini")));
    EXPECT_THROW(ini.SaveVariable("k", QVariant::fromValue(qint32(-1)), "S"), IoError);
    EXPECT_THROW(ini.SaveVariable("k", QVariant(QStringLiteral("a\nb")), "S"), IoError);

    SettingsStore::setFileOverride(blocker + QStringLiteral("/Voltaris.ini"));
    CCommConfig comm;
    EXPECT_THROW(comm.SaveData({}), IoError);
}

}  // namespace
