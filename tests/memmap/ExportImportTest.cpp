// Export, import and read-back against a real archive.

#include <gtest/gtest.h>

#include <QDir>

#include "ArchiveSupport.h"
#include "MemMapTestSupport.h"
#include "TraceCapture.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "memmap/CGestioneMemMap.h"
#include "memmap/ConfigurationFiles.h"
#include "model/ModelCatalogue.h"

using namespace voltaris;
using test::OutputUse;
using test::RawDb;
using test::TraceCapture;

namespace {

class ExportImport : public test::ArchiveFixture {
protected:
    QString file(const QString& name) const { return files.file(name); }
    static QString fixture(const char* name) {
        return test::dataPath(QStringLiteral("memmap/") + QLatin1String(name));
    }
    qint64 rows(qint32 id) {
        RawDb raw(cfg);
        qint64 n = 0;
        for (const QString& t : Archive::recordTables())
            n += raw.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IDProgramma = %2")
                                .arg(t)
                                .arg(id))
                     .toLongLong();
        return n;
    }
    test::TempDir files;
};

// Every catalogued model, and the field-bus module the catalogue lacks, through a file into
// another installation's archive.
TEST_F(ExportImport, EveryModelSurvivesExportAndImport) {
    TraceCapture trace;
    test::TempDir otherDir;
    Archive::provision(otherDir.path(), {test::templatePath()});
    Archive other;
    other.open(otherDir.file(Archive::ArchiveFileName));

    QList<qint32> models;
    for (const ModelEntry& e : ModelCatalogue::standard().entries())
        models << e.id;
    models << 0x00240005;
    ASSERT_GE(models.size(), 33);
    for (const qint32 model : models) {
        for (const OutputUse use : {OutputUse::BothAlarms, OutputUse::PulsesAndRemote}) {
            SCOPED_TRACE(testing::Message() << std::hex << model << " use " << int(use));
            const QString name = QStringLiteral("Cabina %1").arg(model, 8, 16, QChar('0'));
            Configuration sent;
            test::fillConfiguration(sent, model, use, name);
            const qint32 id = sent.create(archive);
            const QString path = file(name + ".ZLA");
            ExportConfiguration(archive, id, path);

            const std::optional<qint32> newId = ImportConfiguration(other, path);
            ASSERT_TRUE(newId.has_value());
            Configuration got;
            got.load(other, *newId);
            EXPECT_EQ(got.UsoInstr().NomeProgramma(), name);
            test::expectReadBack(got, model, use, true);
        }
    }
    EXPECT_TRUE(trace.messages.entries().isEmpty());
}

TEST_F(ExportImport, ImportThenExportGivesTheSameFile) {
    TraceCapture trace;
    const std::optional<qint32> id = ImportConfiguration(archive, fixture("km61_r2.ZLA"));
    ASSERT_TRUE(id.has_value());
    const QString path = file("again.ZLA");
    ExportConfiguration(archive, *id, path);
    EXPECT_EQ(test::readFile(path).toHex(' ').toStdString(),
              test::readFile(fixture("km61_r2.ZLA")).toHex(' ').toStdString());
}

TEST_F(ExportImport, ImportingTwiceGivesTwoConfigurationsWithTheSameName) {
    TraceCapture trace;
    const QList<ProgramEntry> before = archive.list();
    const std::optional<qint32> a = ImportConfiguration(archive, fixture("km61_r2.ZLA"));
    const std::optional<qint32> b = ImportConfiguration(archive, fixture("km61_r2.ZLA"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_NE(*a, Archive::ReservedId);
    EXPECT_NE(*b, Archive::ReservedId);
    const QString name = QString::fromUtf8("Quadro Nord \u00e8");
    QList<ProgramEntry> expected = before;
    expected << ProgramEntry{*a, name} << ProgramEntry{*b, name};
    EXPECT_EQ(archive.list(), expected);
    EXPECT_EQ(rows(*a), 10);
    EXPECT_EQ(rows(*b), 10);
    EXPECT_TRUE(trace.lines.contains(
        "Importata nuova configurazione; aggiornamento griglia configurazioni"));
    EXPECT_TRUE(trace.lines.contains("Nome file import: " + fixture("km61_r2.ZLA")));

    Configuration c;
    c.load(archive, *b);
    EXPECT_EQ(c.UsoInstr().RapportoTA(), 40000);
    EXPECT_EQ(c.PulseOutSetup(2).PulseOut(), 50000);
    EXPECT_EQ(c.DigOutConfig().NumAlarm1(), 16);
}

TEST_F(ExportImport, RefusedOrFailedImportLeavesTheArchiveAsItWas) {
    test::TempDir scratch;
    const QString missing = scratch.file("absent.ZLA");
    const struct {
        const char* what;
        QString path;
        bool refused;  // message 811; otherwise an error reaches the caller
    } cases[] = {
        {"another program", fixture("foreign.ZLA"), true},
        {"short", fixture("short.ZLA"), true},
        {"empty", fixture("empty.ZLA"), true},
        {"counter code 45", fixture("bad_counter.ZLA"), true},
        {"missing", missing, false},
        {"a folder", scratch.path(), false},
    };
    // Something stored already, to see that it stays.
    {
        TraceCapture quiet;
        Configuration c;
        test::fillConfiguration(c, 0x00230004, OutputUse::BothAlarms);
        c.create(archive);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        const QStringList before = RawDb(cfg).dump();
        if (c.refused) {
            EXPECT_FALSE(ImportConfiguration(archive, c.path).has_value());
            ASSERT_FALSE(trace.messages.entries().isEmpty());
            const auto& shown = trace.messages.entries().last();
            EXPECT_EQ(shown.icon, UserMessages::Icon::Warning);
            EXPECT_EQ(shown.text, FormatResString(811, c.path));
            EXPECT_TRUE(shown.text.contains(c.path));
        } else {
            try {
                ImportConfiguration(archive, c.path);
                ADD_FAILURE() << "no error";
            } catch (const IoError& e) {
                EXPECT_TRUE(e.message().contains(c.path)) << e.message().toStdString();
            }
        }
        EXPECT_TRUE(trace.lines.contains("Fallita operazione import da file " + c.path));
        EXPECT_EQ(RawDb(cfg).dump(), before);
    }
    // The archive still works: a good file goes in afterwards.
    TraceCapture trace;
    EXPECT_TRUE(ImportConfiguration(archive, fixture("km61_r2.ZLA")).has_value());
}

TEST_F(ExportImport, DatabaseFailureHalfwayThroughAnImportStoresNothing) {
    TraceCapture trace;
    {
        RawDb raw(cfg);
        raw.exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON CAlarm2 "
            "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    }
    const QStringList before = RawDb(cfg).dump();
    EXPECT_THROW(ImportConfiguration(archive, fixture("km61_r2.ZLA")), IoError);
    EXPECT_EQ(RawDb(cfg).dump(), before);
    EXPECT_TRUE(trace.lines.contains("Apertura tabella:CAlarm1")) << "failed before the middle";
}

TEST_F(ExportImport, ImportIntoAnIdInUseIsRefusedByTheArchive) {
    TraceCapture trace;
    Configuration c;
    const qint32 id = c.create(archive);
    const QStringList before = RawDb(cfg).dump();
    CGestioneMemMap map(archive);
    EXPECT_THROW(map.Import(fixture("km61_r2.ZLA"), id), IoError);
    EXPECT_TRUE(map.ImportMode());
    EXPECT_EQ(RawDb(cfg).dump(), before);
}

TEST_F(ExportImport, ExportTraceAndFile) {
    TraceCapture trace;
    Configuration c;
    test::fillConfiguration(c, 0x00240010, OutputUse::AlarmAndPulses, "Line A");
    const qint32 id = c.create(archive);
    trace.lines.clear();
    const QString path = file("Line A.ZLA");
    TraceExportStart("Line A");
    ExportConfiguration(archive, id, path);
    ASSERT_GE(trace.lines.size(), 3);
    EXPECT_EQ(trace.lines[0], QString("Export programma Line A"));
    EXPECT_EQ(trace.lines[1], "Nome file export: " + path);
    EXPECT_EQ(trace.lines[2], QString("Inizio ConvertUserSetupToMemoryMap()"));
    EXPECT_TRUE(trace.lines.contains("Apertura tabella:CAnalogOutSetup3"));
    EXPECT_EQ(trace.lines.last(), QString("Add 250=0x0"));

    CGestioneMemMap read;
    ASSERT_TRUE(read.ReadMemorySetup(path));
    EXPECT_EQ(read.InstrModel(), 0x00240010);
    EXPECT_EQ(read.UserSetup().UsoInstr().NomeProgramma(), QString("Line A"));
    EXPECT_EQ(read.PulseMemMap(8), 0x062B);
}

TEST_F(ExportImport, ExportThatFailsLeavesNoFileAndKeepsAnOldOne) {
    TraceCapture trace;
    Configuration c;
    test::fillConfiguration(c, 0x00230004, OutputUse::BothAlarms);
    c.DigOutConfig().setNumAlarm2(12);  // 5 + 12 alarms: more than the 16 blocks
    const qint32 id = c.create(archive);

    const QString fresh = file("fresh.ZLA");
    try {
        ExportConfiguration(archive, id, fresh);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_TRUE(e.message().contains(fresh)) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(fresh));

    const QString old = file("old.ZLA");
    test::writeFile(old, "previous export");
    EXPECT_THROW(ExportConfiguration(archive, id, old), IoError);
    EXPECT_EQ(test::readFile(old), QByteArray("previous export"));

    // A configuration that is not in the archive: the record's failed check.
    EXPECT_THROW(ExportConfiguration(archive, 999, fresh), AssertFailed);
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.ZLA"});
}

TEST_F(ExportImport, InstrumentReadBackRenamesAndUpdatesTheReservedConfiguration) {
    TraceCapture trace;
    const qint32 model = 0x00230010;
    CGestioneMemMap instrument;
    test::fillConfiguration(instrument.UserSetup(), model, OutputUse::PulsesAndRemote, "Mine");
    instrument.ConvertRecordsToMemoryMap();

    CGestioneMemMap read(archive);
    test::copyMemoryMap(instrument, read);
    read.setIDProgramma(Archive::ReservedId);
    read.ConvertMemoryMapToUserSetup();
    EXPECT_FALSE(read.ImportMode());
    EXPECT_EQ(rows(Archive::ReservedId), 10) << "rows updated, not added";

    Configuration got;
    got.load(archive, Archive::ReservedId);
    EXPECT_EQ(got.UsoInstr().NomeProgramma(), ResString(640));
    test::expectReadBack(got, model, OutputUse::PulsesAndRemote, false);
    EXPECT_EQ(got.SerialComm().NetworkAdd(), 247) << "a read keeps the instrument's address";
}

}  // namespace
