#include "ArchiveTestSupport.h"
#include "archive/Archive.h"

using namespace voltaris;
using namespace voltaris::test;

namespace {

// The stored columns and defaults of the records, in storing order, as the record
// definitions give them; the template's id-2 rows must hold exactly these.
struct Column {
    const char* name;
    const char* type;
    QVariant value;
};

const QList<Column> usoInstr = {
    {"m_NomeProgramma", "TEXT", QStringLiteral("Actual instrument setting")},
    {"m_InstrModel", "INTEGER", 0},
    {"m_FilterScale", "INTEGER", 1},
    {"m_IntTimeCorr", "INTEGER", 15},
    {"m_FilterCoeff", "INTEGER", 1},
    {"m_RapportoTV", "INTEGER", 10},
    {"m_RapportoTA", "INTEGER", 1},
    {"m_System", "INTEGER", 0},
    {"m_IntTimePot", "INTEGER", 15},
    {"m_NetworkAddVexbus", "INTEGER", 1},
};
const QList<Column> digOut = {
    {"m_DigOut1", "INTEGER", 0}, {"m_NumAlarm1", "INTEGER", 0}, {"m_StatusDigOut1", "INTEGER", 0},
    {"m_DigOut2", "INTEGER", 0}, {"m_NumAlarm2", "INTEGER", 0}, {"m_StatusDigOut2", "INTEGER", 0},
};
const QList<Column> pulse = {
    {"m_SelectCounter", "INTEGER", 0},
    {"m_PulseOut", "INTEGER", 1},
    {"m_PulseOutStatus", "INTEGER", 0},
};
const QList<Column> serial = {{"m_NetworkAdd", "INTEGER", 1}, {"m_BaudRate", "INTEGER", 0}};
const QList<Column> analog = {
    {"m_VariabileRipetuta", "INTEGER", 0},
    {"m_ScaleSelect", "INTEGER", 0},
    {"m_MaxIn", "INTEGER", 0},
    {"m_MinIn", "INTEGER", 0},
    {"m_MaxOut", "INTEGER", 1000},
    {"m_MinOut", "INTEGER", 0},
};

QList<Column> alarm() {
    static const char* const props[] = {"VarControllata", "ScaleSelect",   "MinAlarm",
                                        "MaxAlarm",       "DelayTime",     "AlarmType",
                                        "AlarmStatus",    "LogicFunction", "AlarmStartup"};
    static QList<QByteArray> names;
    if (names.isEmpty()) {
        for (int i = 0; i < 16; ++i) {
            for (const char* p : props)
                names << QByteArray("m_") + p + QByteArray::number(i).rightJustified(2, '0');
        }
    }
    QList<Column> out;
    for (const QByteArray& n : names)
        out.push_back({n.constData(), "INTEGER", 0});
    return out;
}

const QList<std::pair<QString, QList<Column>>>& records() {
    static const QList<std::pair<QString, QList<Column>>> all = {
        {"CUsoInstr", usoInstr},      {"CDigOutConfig", digOut},    {"CPulseOutSetup1", pulse},
        {"CPulseOutSetup2", pulse},   {"CAlarm1", alarm()},         {"CAlarm2", alarm()},
        {"CSerialComm", serial},      {"CAnalogOutSetup1", analog}, {"CAnalogOutSetup2", analog},
        {"CAnalogOutSetup3", analog},
    };
    return all;
}

}  // namespace

TEST(Template, RecordTablesHaveExactlyTheRecordColumnsInStoringOrder) {
    RawDb db(templatePath());
    QStringList tables;
    for (const auto& [table, columns] : records()) {
        tables << table;
        QStringList expected = {"IDProgramma"};
        for (const Column& c : columns)
            expected << c.name;
        EXPECT_EQ(db.columns(table), expected) << table.toStdString();
        EXPECT_EQ(Archive::schemaColumns(table), expected) << table.toStdString();

        for (const Column& c : columns) {
            const QString type =
                db.scalar(QStringLiteral("SELECT type FROM pragma_table_info('%1') "
                                         "WHERE name = '%2'")
                              .arg(table, c.name))
                    .toString();
            EXPECT_EQ(type, c.type) << table.toStdString() << "." << c.name;
        }
    }
    EXPECT_EQ(Archive::recordTables(), tables);
    EXPECT_EQ(db.columns("CAlarm1").size(), 145);
    EXPECT_EQ(db.columns("CAlarm2").size(), 145);
}

TEST(Template, EveryRecordTableHoldsOneDefaultRowForTheInstrument) {
    RawDb db(templatePath());
    for (const auto& [table, columns] : records()) {
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(), 1)
            << table.toStdString();
        EXPECT_EQ(db.count(table, Archive::ReservedId), 1) << table.toStdString();
        for (const Column& c : columns) {
            const QVariant v = db.scalar(
                QStringLiteral("SELECT %1 FROM %2 WHERE IDProgramma = 2").arg(c.name, table));
            EXPECT_EQ(v.toString(), c.value.toString()) << table.toStdString() << "." << c.name;
            EXPECT_EQ(db.scalar(QStringLiteral("SELECT typeof(%1) FROM %2").arg(c.name, table))
                          .toString(),
                      QString::fromLatin1(c.type).toLower())
                << table.toStdString() << "." << c.name;
        }
    }
}

TEST(Template, ListIsEmptyAndTheCounterStartsAtThree) {
    RawDb db(templatePath());
    EXPECT_EQ(db.scalar("SELECT type FROM sqlite_master WHERE name = 'Programmi'").toString(),
              "view");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Programmi").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM CounterProgrammi").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT seq FROM sqlite_sequence WHERE name = 'CounterProgrammi'").toInt(),
              2);
    for (const QString& table : Archive::recordTables()) {
        EXPECT_EQ(
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' "
                                     "AND tbl_name = '%1'")
                          .arg(table))
                .toInt(),
            1)
            << table.toStdString();
    }
}

TEST(Template, OpensAsAnArchiveAndHandsOutThreeFirst) {
    TempDir dir;
    Archive::provision(dir.path(), {templatePath()});
    Archive archive;
    archive.open(dir.file(Archive::ArchiveFileName));
    EXPECT_TRUE(archive.list().isEmpty());
    EXPECT_TRUE(archive.exists(Archive::ReservedId));
    IdAllocation id(archive);
    EXPECT_EQ(id.id(), 3);
}
