// Records and configurations in the archive.

#include <gtest/gtest.h>

#include <limits>

#include "ModelTestSupport.h"
#include "archive/Archive.h"
#include "model/COption.h"
#include "model/Configuration.h"

using namespace voltaris;
using voltaris::test::ArchiveFixture;
using voltaris::test::RawDb;
using voltaris::test::TraceCapture;

namespace {

// Every record of `config` filled with distinct non-default values.
void fill(Configuration& config, int seed) {
    for (CArchiveRecord* r : config.Records())
        test::fillDistinct(*r, seed++);
}

void expectSameStored(const Configuration& a, const Configuration& b) {
    for (int i = 0; i < a.Records().size(); ++i) {
        SCOPED_TRACE(a.Records()[i]->InstanceName().toStdString());
        EXPECT_EQ(test::storedValues(*a.Records()[i]), test::storedValues(*b.Records()[i]));
    }
}

class ArchivePersistence : public ArchiveFixture {
protected:
    qint64 rows(const QString& table, qint32 id) {
        RawDb raw(cfg);
        return raw
            .scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IDProgramma = %2")
                        .arg(table)
                        .arg(id))
            .toLongLong();
    }
};

TEST_F(ArchivePersistence, ReservedRowOfTheTemplateHoldsTheDefaults) {
    TraceCapture trace;
    Configuration loaded;
    fill(loaded, 1);
    loaded.load(archive, Archive::ReservedId);

    Configuration defaults;
    defaults.UsoInstr().setNomeProgramma(QStringLiteral("Actual instrument setting"));
    expectSameStored(loaded, defaults);
}

TEST_F(ArchivePersistence, EveryFieldRoundTripsIncludingExtremes) {
    TraceCapture trace;
    Configuration stored;
    fill(stored, 11);
    const qint32 id = stored.create(archive);
    EXPECT_GT(id, Archive::ReservedId);

    Configuration loaded;
    loaded.load(archive, id);
    expectSameStored(stored, loaded);

    // The extremes reach the file as they are, not clipped or wrapped.
    RawDb raw(cfg);
    const auto column = [&](const QString& table, const QString& col) {
        return raw.scalar(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE IDProgramma = %3")
                              .arg(col, table)
                              .arg(id));
    };
    EXPECT_EQ(column("CUsoInstr", "m_InstrModel").toLongLong(), std::numeric_limits<qint32>::min());
    EXPECT_EQ(column("CUsoInstr", "m_RapportoTV").toLongLong(), std::numeric_limits<qint32>::max());
    EXPECT_EQ(column("CUsoInstr", "m_FilterScale").toLongLong(),
              std::numeric_limits<qint16>::min());
    EXPECT_EQ(column("CAlarm2", "m_VarControllata01").toLongLong(),
              std::numeric_limits<qint32>::max());
    EXPECT_EQ(column("CAlarm2", "m_ScaleSelect00").toLongLong(),
              std::numeric_limits<qint16>::min());
    EXPECT_EQ(column("CUsoInstr", "m_NomeProgramma").toString(), stored.UsoInstr().NomeProgramma());
}

TEST_F(ArchivePersistence, LoadingKeepsThePlainProperties) {
    TraceCapture trace;
    Configuration config;
    config.Alarm(1).setNumAlarm(2);
    config.Alarm(1).setInstrModel(0x00240004);
    config.AnalogOutSetup(1).setRapportoTA(500);
    config.DigOutConfig().setModuleTypeLo(16);
    config.load(archive, Archive::ReservedId);
    EXPECT_EQ(config.Alarm(1).NumAlarm(), 2);
    EXPECT_EQ(config.Alarm(1).InstrModel(), 0x00240004);
    EXPECT_EQ(config.AnalogOutSetup(1).RapportoTA(), 500);
    EXPECT_EQ(config.DigOutConfig().ModuleTypeLo(), 16);
}

TEST_F(ArchivePersistence, SaveOverRewritesOnlyThatConfiguration) {
    TraceCapture trace;
    Configuration first;
    fill(first, 21);
    const qint32 firstId = first.create(archive);
    Configuration second;
    fill(second, 31);
    const qint32 secondId = second.create(archive);

    Configuration edited;
    edited.load(archive, firstId);
    edited.UsoInstr().setRapportoTA(60000);
    edited.Alarm(2).setMinAlarm(15, -32768);
    edited.SerialComm().setBaudRate(3);
    edited.update(archive, firstId);

    Configuration reloaded;
    reloaded.load(archive, firstId);
    expectSameStored(edited, reloaded);
    Configuration other;
    other.load(archive, secondId);
    expectSameStored(second, other);
    EXPECT_EQ(rows("CUsoInstr", firstId), 1);
}

TEST_F(ArchivePersistence, RecordTracesTableAndEveryField) {
    TraceCapture trace;
    CSerialComm serial;
    serial.setNetworkAdd(7);
    serial.setBaudRate(3);
    serial.SaveDataInADORS(archive, QVariant::fromValue(qint32(40)));
    serial.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=40"));
    EXPECT_EQ(trace.lines,
              (QStringList{"Apertura tabella:CSerialComm", "SaveVariable m_NetworkAdd=7",
                           "SaveVariable m_BaudRate=3", "Apertura tabella:CSerialComm",
                           "LoadVariable m_NetworkAdd", "LoadVariable m_BaudRate"}));
}

TEST_F(ArchivePersistence, NumericCriterionAddsARowPerCall) {
    TraceCapture trace;
    CPulseOutSetup pulse;
    pulse.setClassName(QStringLiteral("CPulseOutSetup2"));
    pulse.SaveDataInADORS(archive, QVariant::fromValue(qint16(77)));
    pulse.SaveDataInADORS(archive, QVariant::fromValue(qint32(77)));
    EXPECT_EQ(rows("CPulseOutSetup2", 77), 2);
    EXPECT_EQ(rows("CPulseOutSetup1", 77), 0);
}

TEST_F(ArchivePersistence, EmptyTextLeavesTheColumnAsItWas) {
    TraceCapture trace;
    CUsoInstr uso;
    uso.setNomeProgramma(QString());
    uso.SaveDataInADORS(archive, QVariant::fromValue(qint32(50)));
    RawDb raw(cfg);
    EXPECT_TRUE(
        raw.scalar("SELECT m_NomeProgramma FROM CUsoInstr WHERE IDProgramma = 50").isNull());

    CUsoInstr loaded;
    loaded.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=50"));
    EXPECT_EQ(loaded.NomeProgramma(), QString());

    // Overwriting with an empty name keeps the stored one.
    uso.setNomeProgramma(QStringLiteral("Quadro A"));
    uso.SaveDataInADORS(archive, QStringLiteral("IDProgramma=50"));
    uso.setNomeProgramma(QString());
    uso.setRapportoTA(300);
    uso.SaveDataInADORS(archive, QStringLiteral("IDProgramma=50"));
    loaded.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=50"));
    EXPECT_EQ(loaded.NomeProgramma(), QStringLiteral("Quadro A"));
    EXPECT_EQ(loaded.RapportoTA(), 300);
}

TEST_F(ArchivePersistence, UnusableNumericColumnIsAnErrorAndLoadsNothing) {
    TraceCapture trace;
    struct Case {
        const char* sql;
        const char* column;
    };
    const Case cases[] = {
        {"UPDATE CAlarm1 SET m_DelayTime07 = NULL WHERE IDProgramma = 2", "m_DelayTime07"},
        {"UPDATE CAlarm1 SET m_MaxAlarm03 = 40000 WHERE IDProgramma = 2", "m_MaxAlarm03"},
        {"UPDATE CAlarm1 SET m_VarControllata09 = 'abc' WHERE IDProgramma = 2",
         "m_VarControllata09"},
        {"UPDATE CAlarm1 SET m_VarControllata09 = 3000000000 WHERE IDProgramma = 2",
         "m_VarControllata09"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        {
            RawDb raw(cfg);
            raw.exec(
                QStringLiteral("UPDATE CAlarm1 SET m_DelayTime07 = 0, m_MaxAlarm03 = 0, "
                               "m_VarControllata09 = 0 WHERE IDProgramma = 2"));
            raw.exec(QLatin1String(c.sql));
        }
        CAlarm alarm;
        alarm.setClassName(QStringLiteral("CAlarm1"));
        alarm.setMinAlarm(0, 123);
        try {
            alarm.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=2"));
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("CAlarm1"))) << e.what();
            EXPECT_TRUE(e.message().contains(QLatin1String(c.column))) << e.what();
        }
        EXPECT_EQ(alarm.MinAlarm(0), 123);
    }
}

TEST_F(ArchivePersistence, RealInIntegerColumnRoundsHalfToEven) {
    TraceCapture trace;
    {
        RawDb raw(cfg);
        raw.exec(
            "UPDATE CSerialComm SET m_NetworkAdd = 2.5, m_BaudRate = 3.5 WHERE IDProgramma = 2");
    }
    CSerialComm serial;
    serial.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=2"));
    EXPECT_EQ(serial.NetworkAdd(), 2);
    EXPECT_EQ(serial.BaudRate(), 4);
}

struct CriterionCase {
    const char* label;
    QVariant criterion;
    bool save;  // SaveDataInADORS, else LoadDataFromADORS
    const char* text;
};

TEST_F(ArchivePersistence, UnexpectedCriteriaAreFailedChecks) {
    const char* saveText = "Parametro di SaveDataInADORS(...) nella classe CAlarm2 non previsto";
    const char* loadText =
        "Parametro di LoadVariableFromADORS(...) nella classe CAlarm2 non previsto";
    const char* missing =
        "Record non trovato con il criterio:IDProgramma=999 nella tabella CAlarm2";
    const CriterionCase cases[] = {
        {"save 64-bit", QVariant(qint64(5)), true, saveText},
        {"save double", QVariant(5.0), true, saveText},
        {"save bool", QVariant(true), true, saveText},
        {"save nothing", QVariant(), true, saveText},
        {"save blanks", QVariant(QStringLiteral("IDProgramma = 2")), true, saveText},
        {"save other column", QVariant(QStringLiteral("m_NomeProgramma='x'")), true, saveText},
        {"save missing row", QVariant(QStringLiteral("IDProgramma=999")), true, missing},
        {"load number", QVariant::fromValue(qint32(2)), false, loadText},
        {"load 16-bit", QVariant::fromValue(qint16(2)), false, loadText},
        {"load empty", QVariant(QString()), false, loadText},
        {"load missing row", QVariant(QStringLiteral("IDProgramma=999")), false, missing},
    };
    RawDb raw(cfg);
    const QStringList before = raw.dump();
    for (const CriterionCase& c : cases) {
        SCOPED_TRACE(c.label);
        TraceCapture trace;
        CAlarm alarm;
        alarm.setClassName(QStringLiteral("CAlarm2"));
        alarm.setDelayTime(4, 9);
        try {
            if (c.save)
                alarm.SaveDataInADORS(archive, c.criterion);
            else
                alarm.LoadDataFromADORS(archive, c.criterion);
            ADD_FAILURE() << "no failed check";
        } catch (const AssertFailed& e) {
            EXPECT_EQ(e.message(), QLatin1String(c.text));
        }
        EXPECT_EQ(trace.lines, (QStringList{QStringLiteral("Apertura tabella:CAlarm2"),
                                            QStringLiteral("g_Trace.BugAssert fallito: ") +
                                                QLatin1String(c.text)}));
        ASSERT_EQ(trace.messages.entries().size(), 1);
        EXPECT_EQ(trace.messages.entries()[0].text, QLatin1String(c.text));
        EXPECT_EQ(alarm.DelayTime(4), 9);
    }
    EXPECT_EQ(raw.dump(), before);
}

TEST_F(ArchivePersistence, UnknownTableIsAnArchiveError) {
    TraceCapture trace;
    CAlarm alarm;  // instance name "CAlarm": no such table
    EXPECT_THROW(alarm.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=2")), IoError);
    EXPECT_THROW(alarm.SaveDataInADORS(archive, QVariant::fromValue(qint32(9))), IoError);
}

TEST_F(ArchivePersistence, SettingsRecordsIgnoreTheArchive) {
    TraceCapture trace;
    RawDb raw(cfg);
    const QStringList before = raw.dump();
    COption option;
    option.setNotePiePagina1(QStringLiteral("x"));
    option.SaveDataInADORS(archive, QVariant::fromValue(qint32(9)));
    option.LoadDataFromADORS(archive, QStringLiteral("IDProgramma=2"));
    EXPECT_EQ(option.NotePiePagina1(), QStringLiteral("x"));
    EXPECT_EQ(raw.dump(), before);
    EXPECT_EQ(trace.lines, QStringList{"Class_Initialize() COption"});
}

// Configurations as a whole.

TEST_F(ArchivePersistence, CreateAllocatesNewIdsAndTraces) {
    TraceCapture trace;
    Configuration config;
    config.UsoInstr().setNomeProgramma(QStringLiteral("Cabina 1"));
    const qint32 first = config.create(archive);
    const qint32 second = config.create(archive);
    EXPECT_NE(first, second);
    EXPECT_GT(first, Archive::ReservedId);
    EXPECT_GT(second, Archive::ReservedId);
    for (const QString& table : Archive::recordTables()) {
        EXPECT_EQ(rows(table, first), 1) << table.toStdString();
        EXPECT_EQ(rows(table, second), 1) << table.toStdString();
    }
    EXPECT_EQ(
        trace.lines.count("Creata nuova configurazione; aggiornamento griglia configurazioni"), 2);
    const QList<ProgramEntry> list = archive.list();
    EXPECT_TRUE(list.contains(ProgramEntry{first, QStringLiteral("Cabina 1")}));
    EXPECT_TRUE(list.contains(ProgramEntry{second, QStringLiteral("Cabina 1")}));
}

TEST_F(ArchivePersistence, CopyToNewIdArchivesTheInstrumentConfiguration) {
    TraceCapture trace;
    Configuration instrument;
    instrument.load(archive, Archive::ReservedId);
    instrument.UsoInstr().setRapportoTV(25);
    instrument.saveOver(archive, Archive::ReservedId);
    trace.lines.clear();

    const qint32 id = instrument.copyToNewId(archive);
    ASSERT_FALSE(trace.lines.isEmpty());
    EXPECT_EQ(trace.lines.first(), QStringLiteral("Archivia configurazione corrente."));
    Configuration copy;
    copy.load(archive, id);
    expectSameStored(instrument, copy);
    EXPECT_EQ(copy.UsoInstr().NomeProgramma(), QStringLiteral("Actual instrument setting"));
}

TEST_F(ArchivePersistence, SaveNewRefusesAnIdInUse) {
    TraceCapture trace;
    Configuration config;
    RawDb raw(cfg);
    const QStringList before = raw.dump();
    EXPECT_THROW(config.saveNew(archive, Archive::ReservedId), IoError);
    EXPECT_EQ(raw.dump(), before);
}

TEST_F(ArchivePersistence, RemoveDeletesEveryRowAndSparesTheReservedId) {
    TraceCapture trace;
    Configuration config;
    const qint32 id = config.create(archive);
    Configuration::remove(archive, id);
    for (const QString& table : Archive::recordTables())
        EXPECT_EQ(rows(table, id), 0) << table.toStdString();
    EXPECT_THROW(Configuration::remove(archive, Archive::ReservedId), IoError);
    EXPECT_EQ(rows("CUsoInstr", Archive::ReservedId), 1);
    EXPECT_THROW(config.load(archive, id), AssertFailed);
}

TEST_F(ArchivePersistence, SaveOverWithAMissingRowChangesNothing) {
    TraceCapture trace;
    Configuration config;
    fill(config, 41);
    const qint32 id = config.create(archive);
    RawDb raw(cfg);
    raw.exec(QStringLiteral("DELETE FROM CAnalogOutSetup2 WHERE IDProgramma = %1").arg(id));
    const QStringList before = raw.dump();

    fill(config, 51);
    EXPECT_THROW(config.saveOver(archive, id), AssertFailed);
    EXPECT_EQ(raw.dump(), before);
    EXPECT_TRUE(trace.lines.contains(
        QStringLiteral("g_Trace.BugAssert fallito: Record non trovato con il criterio:"
                       "IDProgramma=%1 nella tabella CAnalogOutSetup2")
            .arg(id)));
}

// A trigger of a test copy of the archive makes one table refuse its write.
struct Failure {
    const char* label;
    const char* trigger;
};
void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.label;
}

class FailingArchive : public ArchiveFixture, public testing::WithParamInterface<Failure> {
protected:
    void SetUp() override {
        provisionOnly();
        {
            RawDb raw(cfg);
            raw.exec(QLatin1String(GetParam().trigger));
        }
        openArchive();
    }
};

TEST_P(FailingArchive, FailedCreateLeavesTheArchiveAsItWasAndReleasesTheId) {
    TraceCapture trace;
    Configuration existing;
    fill(existing, 61);
    existing.DigOutConfig().setDigOut1(1);  // keeps the triggers quiet for this one
    existing.UsoInstr().setNomeProgramma(QStringLiteral("keep"));
    const qint32 kept = existing.create(archive);

    RawDb raw(cfg);
    const QStringList before = raw.dump();
    Configuration config;
    fill(config, 71);
    config.DigOutConfig().setDigOut1(0);
    EXPECT_THROW(config.create(archive), IoError);
    EXPECT_EQ(raw.dump(), before);  // counter rows included: the id was released
    EXPECT_EQ(
        trace.lines.count("Creata nuova configurazione; aggiornamento griglia configurazioni"), 1);

    // Updating the kept configuration into the failing write is rolled back as a whole.
    existing.DigOutConfig().setDigOut1(0);
    existing.UsoInstr().setNomeProgramma(QStringLiteral("changed"));
    EXPECT_THROW(existing.update(archive, kept), IoError);
    EXPECT_EQ(raw.dump(), before);

    // The archive still works afterwards.
    existing.DigOutConfig().setDigOut1(1);
    existing.update(archive, kept);
    Configuration reloaded;
    reloaded.load(archive, kept);
    EXPECT_EQ(reloaded.UsoInstr().NomeProgramma(), QStringLiteral("changed"));
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, FailingArchive,
    testing::Values(Failure{"alarm2",
                            "CREATE TRIGGER fail_alarm2 BEFORE UPDATE ON CAlarm2 "
                            "WHEN (SELECT m_DigOut1 FROM CDigOutConfig WHERE IDProgramma = "
                            "NEW.IDProgramma ORDER BY rowid LIMIT 1) = 0 "
                            "BEGIN SELECT RAISE(ABORT, 'disk quota exceeded'); END"},
                    Failure{
                        "last_table",
                        "CREATE TRIGGER fail_analog3 BEFORE UPDATE OF m_MinOut ON CAnalogOutSetup3 "
                        "WHEN (SELECT m_DigOut1 FROM CDigOutConfig WHERE IDProgramma = "
                        "NEW.IDProgramma ORDER BY rowid LIMIT 1) = 0 "
                        "BEGIN SELECT RAISE(ABORT, 'disk quota exceeded'); END"}),
    [](const testing::TestParamInfo<Failure>& info) { return std::string(info.param.label); });

}  // namespace
