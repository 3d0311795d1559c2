#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/Archive.h"
#include "archive/Recordset.h"

using namespace voltaris;
using namespace voltaris::test;

// Criteria are exactly what the program builds ("IDProgramma=" + id): the column name as
// written, no blanks, a decimal 32-bit integer. Nothing else reaches the database.
TEST(Criterion, AcceptsOnlyTheIdForm) {
    const struct {
        const char* text;
        qint32 id;
    } accepted[] = {
        {"IDProgramma=5", 5},
        {"IDProgramma=-1", -1},
        {"IDProgramma=+7", 7},
        {"IDProgramma=007", 7},
        {"IDProgramma=2147483647", 2147483647},
        {"IDProgramma=-2147483648", -2147483647 - 1},
    };
    for (const auto& c : accepted)
        EXPECT_EQ(Recordset::parseCriterion(c.text), c.id) << c.text;

    const char* const refused[] = {
        "IDProgramma=5 OR 1=1",
        "IDProgramma = 5",
        "IDProgramma =5",
        " IDProgramma=5",
        "IDProgramma=5 ",
        "idprogramma=5",
        "",
        "IDProgramma=",
        "IDProgramma=-",
        "IDProgramma=5;DROP TABLE x",
        "Nome='x'",
        "m_NomeProgramma='x'",
        "IDProgramma=2147483648",
        "IDProgramma=-2147483649",
        "IDProgramma=99999999999999999999",
        "IDProgramma=0x10",
        "IDProgramma=1e3",
        "IDProgramma=5.0",
        "IDProgramma=--5",
        "IDProgramma=\xef\xbc\x95",  // a full-width digit
    };
    for (const char* c : refused) {
        EXPECT_THROW(Recordset::parseCriterion(QString::fromUtf8(c)), BadCriterion) << c;
    }
}

TEST_F(ArchiveTest, RefusedCriterionNeverTouchesTheTable) {
    saveConfiguration(archive, 3, "three");
    Recordset rs(archive, "CUsoInstr");
    for (const char* c :
         {"IDProgramma=3 OR 1=1", "IDProgramma=3;DELETE FROM CUsoInstr", "IDProgramma=3' --"}) {
        EXPECT_THROW(rs.findFirst(c), BadCriterion) << c;
        EXPECT_FALSE(rs.hasRow());
    }
    RawDb db(cfg);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM CUsoInstr").toInt(), 2);
}

TEST_F(ArchiveTest, FindPositionsOnTheFirstRowOfTheId) {
    for (const char* name : {"first", "second"}) {
        Recordset rs(archive, "CUsoInstr");
        rs.addNew(7);
        rs.setValue("m_NomeProgramma", QString::fromLatin1(name));
        rs.update();
    }
    Recordset rs(archive, "CUsoInstr");
    ASSERT_TRUE(rs.findFirst("IDProgramma=7"));
    EXPECT_EQ(rs.value("m_NomeProgramma").toString(), "first");
    EXPECT_EQ(rs.value("IDProgramma").toInt(), 7);

    EXPECT_FALSE(rs.findFirst("IDProgramma=8"));
    EXPECT_FALSE(rs.hasRow());
    const QString message = messageOf([&] { rs.value("m_NomeProgramma"); });
    EXPECT_TRUE(message.contains("CUsoInstr: no current row")) << message.toStdString();
    EXPECT_THROW(rs.setValue("m_NomeProgramma", "x"), IoError);
}

TEST_F(ArchiveTest, NullIsNotZero) {
    Recordset rs(archive, "CUsoInstr");
    rs.addNew(5);
    EXPECT_TRUE(rs.value("m_InstrModel").isNull());
    EXPECT_TRUE(rs.value("m_NomeProgramma").isNull());
    rs.setValue("m_InstrModel", 0);
    rs.setValue("m_NomeProgramma", QString(""));
    rs.update();

    Recordset again(archive, "CUsoInstr");
    ASSERT_TRUE(again.findFirst("IDProgramma=5"));
    EXPECT_FALSE(again.value("m_InstrModel").isNull());
    EXPECT_EQ(again.value("m_InstrModel").toInt(), 0);
    EXPECT_TRUE(again.value("m_FilterScale").isNull());
    again.setValue("m_InstrModel", QVariant());
    again.update();
    EXPECT_TRUE(again.value("m_InstrModel").isNull());
    RawDb db(cfg);
    EXPECT_EQ(db.scalar("SELECT typeof(m_InstrModel) FROM CUsoInstr WHERE IDProgramma = 5"),
              "null");
}

TEST_F(ArchiveTest, ValuesKeepTheirNumbersWhateverTheirWidth) {
    Recordset rs(archive, "CUsoInstr");
    rs.addNew(3);
    rs.setValue("m_InstrModel", static_cast<qint32>(0x01230004));
    rs.setValue("m_FilterScale", static_cast<qint16>(-32768));
    rs.setValue("m_IntTimeCorr", static_cast<quint8>(255));
    rs.setValue("m_FilterCoeff", true);
    rs.setValue("m_RapportoTV", 60000.0f);
    rs.setValue("m_RapportoTA", static_cast<qint64>(-1));
    rs.update();
    // Buffered values read back before and after the update, and through a new recordset.
    EXPECT_EQ(rs.value("m_FilterScale").toInt(), -32768);
    Recordset back(archive, "CUsoInstr");
    ASSERT_TRUE(back.findFirst("IDProgramma=3"));
    EXPECT_EQ(back.value("m_InstrModel").toInt(), 0x01230004);
    EXPECT_EQ(back.value("m_FilterScale").toInt(), -32768);
    EXPECT_EQ(back.value("m_IntTimeCorr").toInt(), 255);
    EXPECT_EQ(back.value("m_FilterCoeff").toInt(), 1);
    EXPECT_EQ(back.value("m_RapportoTV").toDouble(), 60000.0);
    EXPECT_EQ(back.value("m_RapportoTA").toLongLong(), -1);
    RawDb db(cfg);
    EXPECT_EQ(db.scalar("SELECT typeof(m_FilterScale) || typeof(m_IntTimeCorr) || "
                        "typeof(m_FilterCoeff) FROM CUsoInstr WHERE IDProgramma = 3"),
              "integerintegerinteger");

    EXPECT_THROW(rs.setValue("m_System", QVariantList{1, 2}), IoError);
    EXPECT_THROW(rs.setValue("m_System", std::numeric_limits<quint64>::max()), IoError);
}

TEST_F(ArchiveTest, UpdateWritesOnlyTheBufferedFieldsOfTheCurrentRow) {
    saveConfiguration(archive, 3, "three");
    saveConfiguration(archive, 4, "four");
    Recordset rs(archive, "CAlarm1");
    ASSERT_TRUE(rs.findFirst("IDProgramma=3"));
    rs.setValue("m_MaxAlarm15", 77);
    rs.setValue("M_VARCONTROLLATA00", 42);  // field names are matched regardless of case
    rs.update();
    rs.update();  // nothing buffered: nothing happens

    RawDb db(cfg);
    EXPECT_EQ(db.scalar("SELECT m_MaxAlarm15 FROM CAlarm1 WHERE IDProgramma = 3").toInt(), 77);
    EXPECT_EQ(db.scalar("SELECT m_VarControllata00 FROM CAlarm1 WHERE IDProgramma = 3").toInt(),
              42);
    EXPECT_EQ(db.scalar("SELECT m_MaxAlarm15 FROM CAlarm1 WHERE IDProgramma = 4").toInt(),
              4000 + 1 + 15 * 9 + 3);
    EXPECT_EQ(db.scalar("SELECT m_MinAlarm15 FROM CAlarm1 WHERE IDProgramma = 3").toInt(),
              3000 + 1 + 15 * 9 + 2);

    // Moving away without update() drops what was buffered.
    rs.setValue("m_MaxAlarm15", 1);
    ASSERT_TRUE(rs.findFirst("IDProgramma=3"));
    EXPECT_EQ(rs.value("m_MaxAlarm15").toInt(), 77);
}

TEST_F(ArchiveTest, UnknownTablesAndFieldsAreNamed) {
    for (const char* table : {"CAlarm", "Programmi", "CounterProgrammi", "calarm1",
                              "CUsoInstr; DROP TABLE CAlarm1", ""}) {
        const QString message = messageOf([&] { Recordset(archive, table); });
        EXPECT_TRUE(message.contains(QStringLiteral("unknown table ") + table))
            << table << ": " << message.toStdString();
    }
    Recordset rs(archive, "CAlarm2");
    ASSERT_TRUE(rs.findFirst("IDProgramma=2"));
    for (const char* field :
         {"m_VarControllata16", "m_NomeProgramma", "rowid", "\"m_MinAlarm00\""}) {
        const QString message = messageOf([&] { rs.value(field); });
        EXPECT_TRUE(message.contains(cfg)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("table CAlarm2: unknown field ") + field))
            << message.toStdString();
        EXPECT_THROW(rs.setValue(field, 1), IoError) << field;
    }
}

TEST_F(ArchiveTest, UpdateOfAVanishedRowIsAnError) {
    saveConfiguration(archive, 3, "three");
    Recordset rs(archive, "CSerialComm");
    ASSERT_TRUE(rs.findFirst("IDProgramma=3"));
    archive.deleteProgram(3);
    rs.setValue("m_BaudRate", 2);
    const QString message = messageOf([&] { rs.update(); });
    EXPECT_TRUE(message.contains("CSerialComm: the current row no longer exists"))
        << message.toStdString();
}

TEST_F(ArchiveTest, RecordsetOfAClosedArchiveRefusesWork) {
    Recordset rs(archive, "CUsoInstr");
    archive.close();
    archive.open(cfg);
    EXPECT_THROW(rs.findFirst("IDProgramma=2"), IoError);
    EXPECT_THROW(rs.addNew(3), IoError);
}

// The record contract updates after every field: ~400 updates for one configuration. The
// work inside the transaction is timed; the commit's cost is the disk's (it syncs).
TEST_F(ArchiveTest, SavingAConfigurationIsFast) {
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 5; ++round) {
        Transaction t(archive);
        QElapsedTimer timer;
        timer.start();
        IdAllocation id(archive);
        saveConfiguration(archive, id.id(), "timed", true);
        best = std::min(best, timer.nsecsElapsed());
        id.commit();
        t.commit();
    }
    RecordProperty("best_save_us", static_cast<int>(best / 1000));
#if defined(__SANITIZE_ADDRESS__)
    const qint64 limit = 200'000'000;
#else
    const qint64 limit = 20'000'000;
#endif
    EXPECT_LT(best, limit);
    EXPECT_EQ(archive.list().size(), 5);
}
