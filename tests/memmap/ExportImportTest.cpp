// Export, import and read-back against a real archive.

#include <gtest/gtest.h>

#include <QDir>

#include "ArchiveSupport.h"
#include "MemMapTestSupport.h"
#include "ModelTestSupport.h"
#include "TraceCapture.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "memmap/CGestioneMemMap.h"
#include "memmap/ConfigurationFiles.h"
#include "model/ModelCatalogue.h"
#include "model/Validation.h"
#include "variables/CVariableRangeScale.h"

#include <QFile>
#include <cmath>

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

// A configuration the pages could have produced for `model` and `system` (CT 100, VT
// 400.0): valid analogue outputs, and alarms of every kind on both outputs: automatic and
// fixed scales, the full range, a zero window, a window inside the range.
void makeValid(Configuration& c, qint32 model, qint16 system, int alarms1, int alarms2) {
    CUsoInstr& u = c.UsoInstr();
    u.setNomeProgramma(QStringLiteral("Quadro %1").arg(model, 8, 16, QChar('0')));
    u.setInstrModel(model);
    u.setSystem(system);
    u.setRapportoTA(100);
    u.setRapportoTV(4000);
    const auto limits = [&](qint32 code, int kind) {
        CVariableRangeScale r;
        r.setInstrModel(model);
        r.setRapportoTV(u.RapportoTV());
        r.setRapportoTA(u.RapportoTA());
        r.setVariable(qint16(code));
        r.setScaleSelect(r.DPScaleMax());
        const qint16 lo = r.Minimo(), hi = r.Massimo();
        const qint16 zero = qBound(lo, qint16(0), hi);
        const QList<std::array<qint16, 3>> kinds = {
            {r.DPScaleMax(), lo, hi},
            {r.DPScaleMax(), zero, zero},
            {r.DPScaleMax(), qint16(lo + (hi - lo) / 4), qint16(lo + (hi - lo) / 2)}};
        return kinds[kind % 3];
    };
    // Offered for every wiring system: A L1, W Sys, PF Sys, Hz, W dmd.
    const qint32 codes[] = {6, 25, 28, 29, 41};
    CDigOutConfig& d = c.DigOutConfig();
    d.setDigOut1(CDigOutConfig::Alarm);
    d.setNumAlarm1(qint16(alarms1));
    d.setDigOut2(CDigOutConfig::Alarm);
    d.setNumAlarm2(qint16(alarms2));
    for (int output = 1; output <= 2; ++output) {
        for (int j = 0; j < (output == 1 ? alarms1 : alarms2); ++j) {
            CAlarm& a = c.Alarm(output);
            const qint32 code = codes[(j + output) % 5];
            const auto [step, lo, hi] = limits(code, j);
            a.setVarControllata(j, code);
            a.setScaleSelect(j, step);
            a.setMinAlarm(j, lo);
            a.setMaxAlarm(j, hi);
            a.setAlarmType(j, qint16(j % 4));
            a.setAlarmStatus(j, 1);
            a.setDelayTime(j, qint16(j));
        }
    }
    for (int output = 1; output <= 3; ++output) {
        CAnalogOutSetup& a = c.AnalogOutSetup(output);
        const qint32 code = codes[output];
        const auto [step, lo, hi] = limits(code, output + 1);
        a.setVariabileRipetuta(code);
        a.setScaleSelect(step);
        a.setMinIn(lo);
        a.setMaxIn(hi);
        a.setMinOut(20);
        a.setMaxOut(100);
    }
}

double engineering(qint16 value, qint16 step) {
    return value * std::pow(10.0, step - 5);
}

// Every file an export writes from a valid configuration goes back in, whatever the model,
// its wiring systems and the alarms on its two outputs, with the same values.
TEST_F(ExportImport, ValidConfigurationsOfEveryModelImportAsExported) {
    TraceCapture trace;
    test::TempDir otherDir;
    Archive::provision(otherDir.path(), {test::templatePath()});
    Archive other;
    other.open(otherDir.file(Archive::ArchiveFileName));

    for (const ModelEntry& e : ModelCatalogue::standard().entries()) {
        for (qint16 system = 0; system <= 4; ++system) {
            if (!SystemOffered(e.id, system))
                continue;
            for (const auto& [alarms1, alarms2] : {std::pair{2, 3}, std::pair{7, 9}}) {
                SCOPED_TRACE(testing::Message() << e.name.toStdString() << " system " << system
                                                << " alarms " << alarms1 << "+" << alarms2);
                Configuration sent;
                makeValid(sent, e.id, system, alarms1, alarms2);
                ASSERT_EQ(test::Text(ValidateConfiguration(sent)), "");
                const qint32 id = sent.create(archive);
                const QString path = file(QStringLiteral("roundtrip.ZLA"));
                QFile::remove(path);
                ExportConfiguration(archive, id, path);

                const std::optional<qint32> newId = ImportConfiguration(other, path);
                ASSERT_TRUE(newId.has_value());
                Configuration got;
                got.load(other, *newId);
                EXPECT_EQ(test::Text(ValidateConfiguration(got)), "");
                EXPECT_EQ(got.UsoInstr().NomeProgramma(), sent.UsoInstr().NomeProgramma());
                EXPECT_EQ(got.UsoInstr().System(), system);
                for (int output = 1; output <= 2; ++output) {
                    const int inUse = AlarmsInUse(sent, output);
                    EXPECT_EQ(AlarmsInUse(got, output), inUse);
                    const CAlarm &a = sent.Alarm(output), &b = got.Alarm(output);
                    for (int j = 0; j < inUse; ++j) {
                        SCOPED_TRACE(testing::Message() << "output " << output << " alarm " << j);
                        EXPECT_EQ(b.VarControllata(j), a.VarControllata(j));
                        EXPECT_EQ(b.AlarmType(j), a.AlarmType(j));
                        EXPECT_DOUBLE_EQ(engineering(b.MinAlarm(j), b.ScaleSelect(j)),
                                         engineering(a.MinAlarm(j), a.ScaleSelect(j)));
                        EXPECT_DOUBLE_EQ(engineering(b.MaxAlarm(j), b.ScaleSelect(j)),
                                         engineering(a.MaxAlarm(j), a.ScaleSelect(j)));
                    }
                }
            }
        }
    }
    EXPECT_TRUE(trace.messages.entries().isEmpty());
}

// Good files with one field patched (offsets of the exchange file layout), refused with
// the field named and nothing stored; trailing bytes make a file foreign.
TEST_F(ExportImport, FilesWithValuesThePagesRefuseAreNotImported) {
    TraceCapture quiet;
    Configuration c;
    makeValid(c, 0x00240004, 4, 2, 3);
    const QString good = file(QStringLiteral("good.ZLA"));
    ExportConfiguration(archive, c.create(archive), good);
    const QByteArray bytes = test::readFile(good);
    ASSERT_EQ(bytes.size(), CGestioneMemMap::FileSize);
    const auto patched = [&bytes](int at, const QByteArray& with) {
        QByteArray b = bytes;
        b.replace(at, with.size(), with);
        return b;
    };
    // ParamMemMap word i at 110 + 2i; InstrModel at 106; the name at 56.
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList fields;  // empty: refused as foreign
    } cases[] = {
        {"wiring system 9", patched(124, QByteArray("\x09\x00", 2)), {"CUsoInstr.System"}},
        {"VT ratio 0", patched(114, QByteArray("\x00\x00", 2)), {"CUsoInstr.RapportoTV"}},
        {"CT ratio 65531", patched(112, QByteArray("\xfb\xff", 2)), {"CUsoInstr.RapportoTA"}},
        {"model not catalogued",
         patched(106, QByteArray("\x05\x00\x24\x00", 4)),
         {"CUsoInstr.InstrModel"}},
        {"system and both ratios",
         patched(112, QByteArray("\xfb\xff\x00\x00", 4)).replace(124, 2, QByteArray("\x09\x00", 2)),
         {"CUsoInstr.RapportoTV", "CUsoInstr.RapportoTA", "CUsoInstr.System"}},
        {"tab in the name", patched(60, "\t"), {"CUsoInstr.NomeProgramma"}},
        {"one byte more", bytes + '\0', {}},
        {"a second file after it", bytes + bytes, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const QString path = file(QStringLiteral("patched.ZLA"));
        test::writeFile(path, k.bytes);
        TraceCapture trace;
        const QStringList before = RawDb(cfg).dump();
        FieldProblems problems;
        EXPECT_FALSE(ImportConfiguration(archive, path, &problems).has_value());
        EXPECT_EQ(RawDb(cfg).dump(), before);
        EXPECT_EQ(test::Fields(problems), k.fields) << test::Text(problems);
        ASSERT_EQ(trace.messages.entries().size(), 1);
        const QString shown = trace.messages.entries().first().text;
        EXPECT_TRUE(shown.contains(path));
        for (const QString& f : k.fields)
            EXPECT_TRUE(shown.contains(f)) << shown.toStdString();
        EXPECT_TRUE(trace.lines.contains("Fallita operazione import da file " + path));
    }
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
    EXPECT_EQ(c.DigOutConfig().NumAlarm1(), 2) << "the file's cleared blocks are no alarms";
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
