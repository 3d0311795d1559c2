// The report's row sets: header block, styles and the data table of each kind of model.

#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "report/ConfigurationReport.h"
#include "report/ReportRows.h"
#include "tabulon/CellRecord.h"
#include "tabulon/TabulonDocument.h"

using namespace voltaris;
using grevlon::RowSet;

namespace {

struct Row {
    int cells;
    QString c1, c2;
};

QList<Row> rowsOf(RowSet& rs) {
    QList<Row> rows;
    for (rs.moveFirst(); !rs.atEnd(); rs.moveNext())
        rows.append({rs.int16Value("nColumn"), rs.textValue("Column1"), rs.textValue("Column2")});
    return rows;
}

// The data rows (after caption and column titles).
QList<Row> dataRows(const Configuration& c) {
    auto rs = BuildReportDataTable(c);
    return rowsOf(*rs).mid(2);
}

// The value printed beside the first label `labelId` (whole text of the row's first cell).
QString valueOf(const QList<Row>& rows, int labelId) {
    for (const Row& r : rows)
        if (r.c1 == ResString(labelId))
            return r.c2;
    return QStringLiteral("<no row>");
}

int countOf(const QList<Row>& rows, const QString& first) {
    int n = 0;
    for (const Row& r : rows)
        n += r.c1 == first;
    return n;
}

// The one-cell title rows, in order.
QStringList titles(const QList<Row>& rows) {
    QStringList t;
    for (const Row& r : rows)
        if (r.cells == 1)
            t << r.c1;
    return t;
}

}  // namespace

TEST(ReportRows, HeaderBlockAndStylesDescribeTheReportLayout) {
    auto header = MakeReportHeaderDoc();
    ASSERT_EQ(header->recordCount(), 5);
    QList<grevlon::CellRecord> cells;
    for (header->moveFirst(); !header->atEnd(); header->moveNext()) {
        cells << grevlon::CellRecord::FromRow(*header);
        EXPECT_TRUE(header->value("Key").isNull());
    }
    const auto& frame = cells[0];
    EXPECT_EQ(frame.Tag, 1);
    EXPECT_EQ(frame.Width, 10692);
    EXPECT_EQ(frame.Height, 828);
    EXPECT_EQ(frame.DrawBox, 15);
    EXPECT_EQ(frame.FontSize, 0);
    EXPECT_EQ(frame.FontName, QString());
    EXPECT_EQ(cells[1].Text, ResString(681));
    EXPECT_TRUE(cells[1].FontBold);
    EXPECT_EQ(cells[2].Text, QString(106, u'_'));
    EXPECT_EQ(cells[3].Text, QString(94, u'_'));
    EXPECT_EQ(cells[4].Text, ResString(680));
    const QList<QList<int>> geometry = {{432, 330, 888, 276},
                                        {432, 1236, 9012, 276},
                                        {120, 2256, 7992, 276},
                                        {120, 330, 1908, 276}};
    for (int i = 1; i <= 4; ++i) {
        const auto& c = cells[i];
        EXPECT_EQ((QList<int>{c.Top, c.Left, c.Width, c.Height}), geometry[i - 1]) << i;
        EXPECT_EQ(c.FontName, QStringLiteral("Times New Roman"));
        EXPECT_EQ(c.FontSize, 10);
        EXPECT_EQ(c.FontCharSet, 1);
        EXPECT_FALSE(c.Multiline);
        EXPECT_EQ(c.Tag, 0);
        EXPECT_EQ(c.DrawBox, 0);
    }

    auto styles = MakeReportGridStyle();
    struct Style {
        const char* key;
        int height, size;
        bool bold, multiline;
        int alignment;
    };
    const Style expected[] = {{"CaptionTableStyle", 336, 10, true, false, 2},
                              {"Col1TitleStyle", 336, 8, true, false, 2},
                              {"Col2TitleStyle", 336, 8, true, false, 2},
                              {"Col1DataStyle", 432, 8, false, true, 0},
                              {"Col2DataStyle", 432, 8, false, true, 0}};
    EXPECT_EQ(styles->recordCount(), 5);
    for (const Style& s : expected) {
        ASSERT_TRUE(styles->findFirst(QStringLiteral("Key='%1'").arg(s.key))) << s.key;
        const auto c = grevlon::CellRecord::FromRow(*styles);
        EXPECT_EQ(c.Height, s.height) << s.key;
        EXPECT_EQ(c.FontSize, s.size) << s.key;
        EXPECT_EQ(c.FontBold, s.bold) << s.key;
        EXPECT_EQ(c.Multiline, s.multiline) << s.key;
        EXPECT_EQ(c.Alignment, s.alignment) << s.key;
        EXPECT_EQ(
            (QList<int>{c.Top, c.Left, c.Width, c.Tag, c.FontCharSet, c.LineWidth, c.DrawBox}),
            (QList<int>{0, 0, 0, 0, 1, 1, 15}))
            << s.key;
        EXPECT_EQ(c.FontName, QStringLiteral("Times New Roman"));
    }

    // What the control makes of them: an 828-twip block, a 10692-twip table.
    grevlon::TabulonDocument doc;
    doc.NewDoc(header, styles);
    EXPECT_EQ(doc.HeaderBlockHeight(), 828);
    EXPECT_EQ(doc.RowManager().WidthRow(), 10692);
    EXPECT_EQ(doc.RowManager().HeightRowTitleTable(), 336);
    EXPECT_EQ(doc.RowManager().HeightRowData(), 432);
}

// Which sections each kind of model prints.
struct ModelCase {
    const char* name;
    qint32 model;
    qint16 digOut1, numAlarm1, digOut2, numAlarm2;
    QStringList titles;  // one-cell rows in order
    bool serial;
    bool digital;
    bool output2;
};

void PrintTo(const ModelCase& m, std::ostream* os) {
    *os << m.name;
}

class ReportSections : public testing::TestWithParam<ModelCase> {};

TEST_P(ReportSections, FollowTheModel) {
    const ModelCase& m = GetParam();
    Configuration c;
    c.UsoInstr().setInstrModel(m.model);
    c.DigOutConfig().setDigOut1(m.digOut1);
    c.DigOutConfig().setNumAlarm1(m.numAlarm1);
    c.DigOutConfig().setDigOut2(m.digOut2);
    c.DigOutConfig().setNumAlarm2(m.numAlarm2);
    c.Alarm(1).setVarControllata(0, 29);
    c.Alarm(1).setVarControllata(1, 3);
    const QList<Row> rows = dataRows(c);

    EXPECT_EQ(titles(rows), m.titles);
    EXPECT_EQ(countOf(rows, ResString(5350)), m.serial ? 1 : 0);
    EXPECT_EQ(countOf(rows, ResString(5601)), m.digital ? 1 : 0);
    EXPECT_EQ(countOf(rows, ResString(5606)), m.output2 ? 1 : 0);
    EXPECT_EQ(countOf(rows, ResString(5610)), m.output2 ? 1 : 0);
    EXPECT_EQ(countOf(rows, ResString(5634)), 0);  // no catalogued model has a field bus
    EXPECT_EQ(valueOf(rows, 5644), ModelCatalogue::standard().find(m.model).name);
    for (const Row& r : rows)
        EXPECT_EQ(r.cells == 1, r.c2.isEmpty()) << r.c1.toStdString();
}

const QStringList kUsage = {"#SBAC#Thermal current integration time", "#SBAC#Dmd power calculation",
                            "#SBAC#Digital filter"};
const QStringList kAnalog = {"#SBAC#Analogue output setup", "#SBAC#Input range selection",
                             "#SBAC#Output range selection (%)"};

INSTANTIATE_TEST_SUITE_P(
    Models, ReportSections,
    testing::Values(
        ModelCase{"Serial", 0x00230001, 0, 0, 0, 0, kUsage, true, false, false},
        ModelCase{"OneAnalogue", 0x00240103, 0, 0, 0, 0, kUsage + kAnalog, false, false, false},
        ModelCase{"ThreeAnalogue", 0x00230303, 0, 0, 0, 0, kUsage + kAnalog + kAnalog + kAnalog,
                  false, false, false},
        ModelCase{"AlarmsThenPulses", 0x00230004, 1, 2, 0, 0,
                  kUsage + QStringList{"#SBAC#Virtual alarm setup linked to output 1",
                                       "#SBAC#Alarm setup 1", "#SBAC#Alarm setup 2",
                                       "#SBAC#Pulse output setup 2"},
                  false, true, true},
        ModelCase{"PulsesThenAlarms", 0x01220004, 0, 0, 1, 1,
                  kUsage + QStringList{"#SBAC#Pulse output setup 1",
                                       "#SBAC#Virtual alarm setup linked to output 2",
                                       "#SBAC#Alarm setup 1"},
                  false, true, true},
        ModelCase{"RemoteAndAlarmsWithoutAlarms", 0x00210004, 2, 0, 1, 0, kUsage, false, true,
                  true},
        ModelCase{"SerialWithOutput1", 0x00230010, 0, 0, 1, 3,
                  kUsage + QStringList{"#SBAC#Pulse output setup 1"}, true, true, false},
        ModelCase{"SerialWithAlarmsOnOutput1", 0x00240010, 1, 1, 0, 0,
                  kUsage + QStringList{"#SBAC#Virtual alarm setup linked to output 1",
                                       "#SBAC#Alarm setup 1"},
                  true, true, false}),
    [](const testing::TestParamInfo<ModelCase>& info) { return std::string(info.param.name); });

TEST(ReportRows, FieldBusModelPrintsItsAddressAndBothOutputs) {
    // No catalogued model has a field-bus module; a catalogue that names one shows its rows.
    const ModelCatalogue catalogue([](int id) {
        return id == 900 ? QStringLiteral("KM6.1.x.VX.KX#&h00240005") : QStringLiteral("FE");
    });
    Configuration c;
    c.UsoInstr().setInstrModel(0x00240005);
    c.UsoInstr().setNetworkAddVexbus(17);
    c.SerialComm().setNetworkAdd(42);
    c.SerialComm().setBaudRate(3);
    auto rs = BuildReportDataTable(c, catalogue);
    const QList<Row> rows = rowsOf(*rs).mid(2);
    EXPECT_EQ(valueOf(rows, 5644), QStringLiteral("KM6.1.x.VX.KX"));
    EXPECT_EQ(valueOf(rows, 5634), QStringLiteral("17"));
    EXPECT_EQ(valueOf(rows, 5350), QStringLiteral("42"));
    EXPECT_EQ(valueOf(rows, 5351), QStringLiteral("38400"));
    const QStringList pulses = {"#SBAC#Pulse output setup 1", "#SBAC#Pulse output setup 2"};
    EXPECT_EQ(titles(rows), kUsage + pulses);
    // The Vexbus address closes the usage section.
    EXPECT_EQ(rows[12].c1, ResString(5634));
}

TEST(ReportRows, UsageValuesAreFormattedAsPrinted) {
    Configuration c;
    auto& u = c.UsoInstr();
    u.setNomeProgramma("Quadro Sud");
    u.setInstrModel(0x00230303);
    u.setRapportoTV(1005);
    u.setRapportoTA(2500);
    u.setSystem(3);
    u.setIntTimeCorr(8);
    u.setIntTimePot(30);
    u.setFilterScale(100);
    u.setFilterCoeff(32);
    const QList<Row> rows = dataRows(c);
    const QList<Row> expected = {
        {2, "#SB#Program name", "Quadro Sud"},
        {2, "#SB#Instrument type", "KM5.1.x.A3.KX"},
        {2, "#SB#System", "Balanced, 3-phase without neutral"},
        {2, "#SB#VT ratio", "100.5"},
        {2, "#SB#CT ratio", "2500"},
        {1, "#SBAC#Thermal current integration time", ""},
        {2, "#SB#Integration interval", "8 minutes."},
        {1, "#SBAC#Dmd power calculation", ""},
        {2, "#SB#Integration interval", "30 minutes."},
        {1, "#SBAC#Digital filter", ""},
        {2, "#SB#Filter operating range", "100%"},
        {2, "#SB#Filtering coefficient", "32"},
    };
    ASSERT_GE(rows.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i].cells, expected[i].cells) << i;
        EXPECT_EQ(rows[i].c1, expected[i].c1) << i;
        EXPECT_EQ(rows[i].c2, expected[i].c2) << i;
    }
}

TEST(ReportRows, NumbersKeepTheirDecimals) {
    const struct {
        qint64 value;
        const char* tenths;
        const char* hundredths;
    } cases[] = {{1005, "100.5", "10.05"},      {10, "1.0", "0.10"},
                 {1250, "125.0", "12.50"},      {5, "0.5", "0.05"},
                 {-5, "-0.5", "-0.05"},         {0, "0.0", "0.00"},
                 {600000, "60000.0", "6000.00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTenths(c.value), QLatin1String(c.tenths)) << c.value;
        EXPECT_EQ(FormatHundredths(c.value), QLatin1String(c.hundredths)) << c.value;
    }
}

TEST(ReportRows, PulseOutputShowsWeightWithTheUnitOfItsCounter) {
    const struct {
        qint16 counter;
        qint32 weight;
        const char* counterText;
        const char* value;
    } cases[] = {{0, 1250, "Total consumed active energy", "12.50 Pulses/KWh"},
                 {1, 150, "Total consumed reactive energy", "1.50 Pulses/Kvarh"},
                 {1, 50000, "Total consumed reactive energy", "500.00 Pulses/Kvarh"},
                 {7, 1, "7", "0.01 "}};
    for (const auto& c : cases) {
        CPulseOutSetup p;
        p.setClassName("CPulseOutSetup2");
        p.setSelectCounter(c.counter);
        p.setPulseOut(c.weight);
        p.setPulseOutStatus(1);
        RowSet rs({"nColumn", "Column1", "Column2"});
        SetReport(p, rs);
        const QList<Row> rows = rowsOf(rs);
        ASSERT_EQ(rows.size(), 4);
        EXPECT_EQ(rows[0].c1, QStringLiteral("#SBAC#Pulse output setup 2"));
        EXPECT_EQ(rows[1].c2, QLatin1String(c.counterText));
        EXPECT_EQ(rows[2].c2, QLatin1String(c.value));
        EXPECT_EQ(rows[3].c2, QStringLiteral("Activated"));
    }
}

TEST(ReportRows, AlarmsPrintEngineeringValuesAndNoScaleForFixedScaleVariables) {
    CAlarm a;
    a.setClassName("CAlarm2");
    a.setNumAlarm(3);
    // A phase voltage at step 4, the frequency, a phase power factor.
    const struct {
        qint32 code;
        qint16 step, min, max;
    } alarms[] = {{0, 4, 2070, 2530}, {29, 3, 4900, 5100}, {20 | 0x100, 2, -950, 950}};
    for (int i = 0; i < 3; ++i) {
        a.setVarControllata(i, alarms[i].code);
        a.setScaleSelect(i, alarms[i].step);
        a.setMinAlarm(i, alarms[i].min);
        a.setMaxAlarm(i, alarms[i].max);
    }
    a.setDelayTime(0, 12);
    a.setAlarmType(0, 3);
    a.setAlarmStatus(0, 1);
    a.setLogicFunction(0, 1);
    a.setAlarmStartup(0, 1);
    RowSet rs({"nColumn", "Column1", "Column2"});
    SetReport(a, rs);
    const QList<Row> rows = rowsOf(rs);

    const QList<Row> expected = {
        {1, "#SBAC#Virtual alarm setup linked to output 2", ""},
        {1, "#SBAC#Alarm setup 1", ""},
        {2, "#SB#Variable to be controlled", "V L1-N"},
        {2, "#SB#Scale and decimal point position", "111.1"},
        {2, "#SB#Down limit of the window alarm", "207.0V"},
        {2, "#SB#Up limit of the window alarm", "253.0V"},
        {2, "#SB#Delay on the activation", "12s."},
        {2, "#SB#Alarm type", "Out-window alarm"},
        {2, "#SB#Alarm function", "Enable"},
        {2, "#SB#Logic function", "OR"},
        {2, "#SB#Power-on status", "Alarm activated"},
        {1, "#SBAC#Alarm setup 2", ""},
        {2, "#SB#Variable to be controlled", "Hz"},
        {2, "#SB#Down limit of the window alarm", "49.00Hz"},
        {2, "#SB#Up limit of the window alarm", "51.00Hz"},
        {2, "#SB#Delay on the activation", "0s."},
        {2, "#SB#Alarm type", "Up-alarm with hysteresis"},
        {2, "#SB#Alarm function", "Disable"},
        {2, "#SB#Logic function", "AND"},
        {2, "#SB#Power-on status", "Alarm deactivated"},
        {1, "#SBAC#Alarm setup 3", ""},
        {2, "#SB#Variable to be controlled", "PF L1"},
        {2, "#SB#Down limit of the window alarm", "C.950"},
        {2, "#SB#Up limit of the window alarm", "L.950"},
    };
    ASSERT_GE(rows.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i].cells, expected[i].cells) << i;
        EXPECT_EQ(rows[i].c1, expected[i].c1) << i;
        EXPECT_EQ(rows[i].c2, expected[i].c2) << i;
    }
    EXPECT_EQ(rows.size(), expected.size() + 5);
}

TEST(ReportRows, AnalogueOutputRows) {
    CAnalogOutSetup o;
    o.setClassName("CAnalogOutSetup3");
    o.setVariabileRipetuta(25);  // W Sys
    o.setScaleSelect(7);
    o.setMaxIn(1234);
    o.setMinIn(-1234);
    o.setMaxOut(100);
    o.setMinOut(20);
    RowSet rs({"nColumn", "Column1", "Column2"});
    SetReport(o, rs);
    const QList<Row> rows = rowsOf(rs);
    const QList<Row> expected = {
        {1, "#SBAC#Analogue output setup", ""},
        {2, "#SB#Variable", "W Sys"},
        {2, "#SB#Scale and decimal point position", "111.1K"},
        {1, "#SBAC#Input range selection", ""},
        {2, "#SB#Max. input value", "123.4KW"},
        {2, "#SB#Min. input value", "-123.4KW"},
        {1, "#SBAC#Output range selection (%)", ""},
        {2, "#SB#Max. output value", "100%"},
        {2, "#SB#Min. output value", "20%"},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i].c1, expected[i].c1) << i;
        EXPECT_EQ(rows[i].c2, expected[i].c2) << i;
    }
}

TEST(ReportRows, DamagedValuesPrintAsNumbers) {
    Configuration c;
    c.UsoInstr().setInstrModel(0x00230001);
    c.UsoInstr().setSystem(9);
    c.SerialComm().setBaudRate(-1);
    CAlarm a;
    a.setVarControllata(0, 61);
    a.setScaleSelect(0, 18);
    a.setMinAlarm(0, 5);
    RowSet rs({"nColumn", "Column1", "Column2"});
    SetReport(a, rs);
    const QList<Row> alarm = rowsOf(rs);
    EXPECT_EQ(valueOf(alarm, 5572), QStringLiteral("61"));
    EXPECT_EQ(valueOf(alarm, 5573), QStringLiteral("18"));
    EXPECT_EQ(valueOf(alarm, 5574), QStringLiteral("5 (scale 18)"));
    const QList<Row> rows = dataRows(c);
    EXPECT_EQ(valueOf(rows, 5621), QStringLiteral("9"));
    EXPECT_EQ(valueOf(rows, 5351), QStringLiteral("-1"));
}

TEST(ReportRows, ModelOutsideTheCatalogueEndsTheReportWithTheFailedCheck) {
    RecordingMessages messages;
    ScopedMessages scope(&messages);
    Configuration c;  // model 0
    try {
        BuildReportDataTable(c);
        FAIL() << "no failed check";
    } catch (const AssertFailed& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Modello strumento fuori indice"));
    }
    ASSERT_EQ(messages.entries().size(), 1);
    EXPECT_EQ(messages.entries().first().text, QStringLiteral("Modello strumento fuori indice"));
}

TEST(ReportRows, BuildingLeavesTheConfigurationAsItWas) {
    Configuration c;
    c.UsoInstr().setInstrModel(0x00230010);
    c.UsoInstr().setRapportoTV(250);
    c.DigOutConfig().setDigOut1(1);
    c.DigOutConfig().setNumAlarm1(5);
    BuildReportDataTable(c);
    EXPECT_EQ(c.DigOutConfig().ModuleTypeLo(), 4);
    EXPECT_EQ(c.Alarm(1).NumAlarm(), 1);
    EXPECT_EQ(c.Alarm(1).RapportoTV(), 1);
    EXPECT_EQ(c.Alarm(1).ClassName(), QStringLiteral("CAlarm1"));
}
