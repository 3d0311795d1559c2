// The model catalogue and what a model identifier enables.

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>

#include "ModelTestSupport.h"
#include "base/Errors.h"
#include "model/ModelCatalogue.h"

using namespace voltaris;

namespace {

struct EntryCase {
    const char* text;
    const char* name;  // nullptr: empty entry; "!" malformed
    quint32 id;
};

TEST(ModelCatalogue, ParsesEntries) {
    const EntryCase cases[] = {
        {"KM5.1.x.A3.KX#&h00230303", "KM5.1.x.A3.KX", 0x00230303},
        {"KM6.3.x.S2.KX#&h01220001", "KM6.3.x.S2.KX", 0x01220001},
        {"Q#&Hff0000aB", "Q", 0xFF0000AB},  // upper-case prefix, lower-case digits, sign bit
        {"A#B#&h00000010", "A#B", 0x00000010},
        {"FE", nullptr, 0},
        {"", nullptr, 0},
        {"#&h00230303", "!", 0},               // no name
        {"KM5.1.x.A3.KX&h00230303", "!", 0},   // no '#'
        {"KM5.1.x.A3.KX#&h0023030", "!", 0},   // seven digits
        {"KM5.1.x.A3.KX#&x00230303", "!", 0},  // not "&h"
        {"KM5.1.x.A3.KX#&h0023030G", "!", 0},
        {"KM5.1.x.A3.KX#&h-0230303", "!", 0},
        {"KM5.1.x.A3.KX#&h 0230303", "!", 0},
        {"fe", "!", 0},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        if (c.name && QLatin1String(c.name) == QLatin1String("!")) {
            EXPECT_THROW(ParseModelEntry(text, 917), VoltarisError);
            continue;
        }
        const std::optional<ModelEntry> entry = ParseModelEntry(text, 917);
        ASSERT_EQ(entry.has_value(), c.name != nullptr);
        if (!entry)
            continue;
        EXPECT_EQ(entry->name, QLatin1String(c.name));
        EXPECT_EQ(quint32(entry->id), c.id);
        EXPECT_EQ(entry->resourceId, 917);
    }
}

TEST(ModelCatalogue, IdentifierBytes) {
    const qint32 a3 = 0x00230303;
    EXPECT_EQ(ModuleType(a3), 3);
    EXPECT_EQ(AnalogOutCount(a3), 3);
    EXPECT_EQ(BaseInstrument(a3), 0x23);
    EXPECT_TRUE(HigherVoltageClass(a3));
    EXPECT_FALSE(HigherVoltageClass(0x00240004));
    const qint32 negative = qint32(0xFF220110u);
    EXPECT_EQ(ModuleType(negative), 0x10);
    EXPECT_EQ(AnalogOutCount(negative), 0x01);
    EXPECT_EQ(BaseInstrument(negative), 0x22);
    EXPECT_EQ(ModelVariant(negative), 0xFF);
    // R2 and O2 differ only in the variant byte, which the instrument does not report.
    EXPECT_EQ(ReportedModel(0x00230004), ReportedModel(0x01230004));
}

TEST(ModelCatalogue, StandardCatalogue) {
    const ModelCatalogue& cat = ModelCatalogue::standard();
    const QList<ModelEntry>& entries = cat.entries();
    ASSERT_EQ(entries.size(), 36);
    EXPECT_EQ(entries.first(), (ModelEntry{900, "KM5.1.x.R2.KX", 0x00230004}));
    EXPECT_EQ(entries[8], (ModelEntry{909, "KM5.1.x.RS.KX", 0x00230010}));
    EXPECT_EQ(entries.last(), (ModelEntry{954, "KM6.3.x.RS.KX", 0x00220010}));

    QSet<qint32> ids;
    QSet<QString> names;
    int previous = 0;
    for (const ModelEntry& e : entries) {
        EXPECT_GT(e.resourceId, previous) << "resource order";
        previous = e.resourceId;
        EXPECT_FALSE(e.name.contains(u'#'));
        EXPECT_NE(e.name, QStringLiteral("FE"));
        ids.insert(e.id);
        names.insert(e.name);
        // Every catalogued model has a module that does something, and never type code 5.
        const ModelFeatures f = FeaturesOf(e.id);
        EXPECT_TRUE(f.serialSettings || f.digitalOutputs > 0 || f.analogOutputs > 0) << e.id;
        EXPECT_NE(ModuleType(e.id), FieldBusModule);
    }
    EXPECT_EQ(ids.size(), entries.size());
    EXPECT_EQ(names.size(), entries.size());
}

TEST(ModelCatalogue, FindByIdentifierAndName) {
    const ModelCatalogue& cat = ModelCatalogue::standard();
    EXPECT_EQ(cat.find(0x01230004).name, QStringLiteral("KM5.1.x.O2.KX"));
    EXPECT_EQ(cat.find(0x00230004).name, QStringLiteral("KM5.1.x.R2.KX"));
    ASSERT_NE(cat.findByName(QStringLiteral("KM6.1.x.R2.KX")), nullptr);
    EXPECT_EQ(cat.findByName(QStringLiteral("KM6.1.x.R2.KX"))->id, 0x00240004);
    EXPECT_EQ(cat.findByName(QStringLiteral("km6.1.X.r2.kx"))->id, 0x00240004);
    EXPECT_EQ(cat.findByName(QStringLiteral("KM6.1.x.R2")), nullptr);
    EXPECT_EQ(cat.findByName(QStringLiteral("FE")), nullptr);
    EXPECT_EQ(cat.lookup(0), nullptr);

    test::TraceCapture trace;
    // 0 is the model of a new record; the variant byte counts in the comparison.
    for (const qint32 unknown : {0, 0x02230004, 0x00230005}) {
        trace.lines.clear();
        try {
            cat.find(unknown);
            ADD_FAILURE() << unknown;
        } catch (const AssertFailed& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Modello strumento fuori indice"));
        }
        EXPECT_EQ(trace.lines,
                  QStringList{"g_Trace.BugAssert fallito: Modello strumento fuori indice"});
    }
}

TEST(ModelCatalogue, InjectedSource) {
    const QHash<int, QString> texts = {
        {900, "A#&h00000001"}, {901, "FE"}, {930, "B#&h00000004"}, {959, "C#&h00000103"}};
    const ModelCatalogue cat([&](int id) { return texts.value(id); });
    ASSERT_EQ(cat.entries().size(), 3);
    EXPECT_EQ(cat.entries()[1], (ModelEntry{930, "B", 4}));
    EXPECT_EQ(cat.entries()[2].resourceId, 959);

    const auto broken = [](int id) {
        return id == 931 ? QStringLiteral("KM6.1#&h0024") : QString();
    };
    try {
        ModelCatalogue bad(broken);
        ADD_FAILURE() << "malformed entry accepted";
    } catch (const VoltarisError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("931"))) << e.what();
    }
}

struct FeatureCase {
    quint32 model;
    bool network;   // HasNetworkAddress: CSerialComm, address word
    bool fieldBus;  // HasFieldBusAddress
    int digital;    // DigitalOutputCount
    int alarms;     // AlarmBlockCount
    bool analogue;  // HasAnalogOutputs: the analogue block exists
    int analog;     // AnalogOutputCount
};

void ExpectFeatures(const FeatureCase& c) {
    const qint32 m = qint32(c.model);
    EXPECT_EQ(HasNetworkAddress(m), c.network);
    EXPECT_EQ(FeaturesOf(m).serialSettings, c.network);
    EXPECT_EQ(HasFieldBusAddress(m), c.fieldBus);
    EXPECT_EQ(DigitalOutputCount(m), c.digital);
    EXPECT_EQ(HasAlarmBlocks(m), c.digital > 0);
    EXPECT_EQ(FeaturesOf(m).pulsesAndAlarms(), c.digital > 0);
    EXPECT_EQ(AlarmBlockCount(m), c.alarms);
    EXPECT_EQ(HasAnalogOutputs(m), c.analogue);
    EXPECT_EQ(AnalogOutputCount(m), c.analog);
}

TEST(ModelCatalogue, WhatATypeCodeEnables) {
    const FeatureCase cases[] = {
        {0x00230001, true, false, 0, 0, false, 0},    // S1: serial module
        {0x00230102, false, false, 0, 0, true, 1},    // V1
        {0x00230302, false, false, 0, 0, true, 3},    // V3
        {0x00230303, false, false, 0, 0, true, 3},    // A3
        {0x00230003, false, false, 0, 0, true, 0},    // analogue module, no count
        {0x00230203, false, false, 0, 0, true, 0},    // a count the pages do not know
        {0x00230004, false, false, 2, 16, false, 0},  // R2
        {0x00230005, true, true, 2, 16, false, 0},    // field bus
        {0x00230010, true, false, 1, 16, false, 0},   // RS
        {0x00230304, false, false, 2, 16, false, 0},  // count ignored without analogue module
        {0x00000000, false, false, 0, 0, false, 0},   // a new record's model
        {0x00230007, false, false, 0, 0, false, 0},
    };
    for (const FeatureCase& c : cases) {
        SCOPED_TRACE(c.model);
        ExpectFeatures(c);
    }
}

// Every catalogued model, by the module letters of its name ("KM6.1.x.A3.KX" -> "A3").
TEST(ModelCatalogue, WhatEachCataloguedModelEnables) {
    const QHash<QString, FeatureCase> byModule = {
        {QStringLiteral("R2"), {0, false, false, 2, 16, false, 0}},
        {QStringLiteral("O2"), {0, false, false, 2, 16, false, 0}},
        {QStringLiteral("A1"), {0, false, false, 0, 0, true, 1}},
        {QStringLiteral("A3"), {0, false, false, 0, 0, true, 3}},
        {QStringLiteral("V1"), {0, false, false, 0, 0, true, 1}},
        {QStringLiteral("V3"), {0, false, false, 0, 0, true, 3}},
        {QStringLiteral("S1"), {0, true, false, 0, 0, false, 0}},
        {QStringLiteral("S2"), {0, true, false, 0, 0, false, 0}},
        {QStringLiteral("RS"), {0, true, false, 1, 16, false, 0}},
    };
    const QList<ModelEntry>& entries = ModelCatalogue::standard().entries();
    ASSERT_FALSE(entries.isEmpty());
    for (const ModelEntry& e : entries) {
        SCOPED_TRACE(e.name.toStdString());
        const QString module = e.name.section(u'.', 3, 3);
        ASSERT_TRUE(byModule.contains(module)) << module.toStdString();
        FeatureCase c = byModule.value(module);
        c.model = quint32(e.id);
        ExpectFeatures(c);
    }
}

TEST(ModelCatalogue, NameOfFallsBackOnTheReportedBytesThenHex) {
    const QHash<int, QString> texts = {
        {900, QStringLiteral("R2#&h00230004")},
        {901, QStringLiteral("O2#&h01230004")},
        {902, QStringLiteral("X#&h81000010")},
    };
    const ModelCatalogue cat([&](int id) { return texts.value(id); });
    const struct {
        quint32 model;
        const char* name;
    } cases[] = {
        {0x00230004, "R2"},
        {0x01230004, "O2"},          // exact beats the first entry equal on three bytes
        {0x05230004, "R2"},          // unknown variant: first entry on the low three bytes
        {0x00000010, "X"},           // the instrument reports no variant byte
        {0x00240004, "0x00240004"},  // not catalogued
        {0xFF000001, "0xff000001"},  // sign bit, eight digits
        {0x00000000, "0x00000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(cat.nameOf(qint32(c.model)), QString::fromLatin1(c.name));
    }
    EXPECT_EQ(ModelName(0x00240303), QStringLiteral("KM6.1.x.A3.KX"));
}

}  // namespace
