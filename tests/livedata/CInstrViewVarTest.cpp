// The live data decoder: table placement, cleared state, formats and the system mask.
#include <gtest/gtest.h>

#include <QSet>
#include <limits>

#include "LinkTestSupport.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "livedata/CInstrViewVar.h"
#include "variables/CVariableViewConvert.h"

using namespace voltaris;
using namespace voltaris::test;
using T = CInstrViewVar;

namespace {

const QString kDash = QStringLiteral("-----");

// Wiring-system masks of the catalogue, as documented for each variable code.
constexpr quint8 kMasks[61] = {
    0x17, 0x15, 0x11, 0x1D, 0x19, 0x19, 0x1F, 0x1D, 0x19, 0x07, 0x17, 0x15, 0x11, 0x17, 0x15, 0x11,
    0x17, 0x15, 0x11, 0x19, 0x17, 0x15, 0x11, 0x17, 0x1D, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x11, 0x19,
    0x1F, 0x1D, 0x19, 0x17, 0x15, 0x11, 0x17, 0x15, 0x11, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F,
    0x1F, 0x1F, 0x1F, 0x1D, 0x19, 0x17, 0x15, 0x11, 0x1F, 0x1F, 0x17, 0x15, 0x11};

struct Cell {
    int v;
    T::Table table;
    int row;
    int column;
};

// Where each code is shown (columns: 1 SYS / Total, 2 L1 / Partial, 3 L2, 4 L3).
const QList<Cell> kPlacement = {
    {23, T::Electrical, 2, 1},  {0, T::Electrical, 2, 2},   {1, T::Electrical, 2, 3},
    {2, T::Electrical, 2, 4},   {24, T::Electrical, 3, 1},  {3, T::Electrical, 3, 2},
    {4, T::Electrical, 3, 3},   {5, T::Electrical, 3, 4},   {6, T::Electrical, 4, 2},
    {7, T::Electrical, 4, 3},   {8, T::Electrical, 4, 4},   {9, T::Electrical, 5, 1},
    {25, T::Electrical, 6, 1},  {10, T::Electrical, 6, 2},  {11, T::Electrical, 6, 3},
    {12, T::Electrical, 6, 4},  {27, T::Electrical, 7, 1},  {16, T::Electrical, 7, 2},
    {17, T::Electrical, 7, 3},  {18, T::Electrical, 7, 4},  {26, T::Electrical, 8, 1},
    {13, T::Electrical, 8, 2},  {14, T::Electrical, 8, 3},  {15, T::Electrical, 8, 4},
    {28, T::Electrical, 9, 1},  {20, T::Electrical, 9, 2},  {21, T::Electrical, 9, 3},
    {22, T::Electrical, 9, 4},  {29, T::Electrical, 10, 2}, {30, T::Electrical, 11, 1},
    {31, T::Electrical, 12, 1}, {19, T::Electrical, 13, 1}, {32, T::Dmd, 2, 2},
    {33, T::Dmd, 2, 3},         {34, T::Dmd, 2, 4},         {41, T::Dmd, 3, 1},
    {35, T::Dmd, 3, 2},         {36, T::Dmd, 3, 3},         {37, T::Dmd, 3, 4},
    {42, T::Dmd, 4, 1},         {38, T::Dmd, 4, 2},         {39, T::Dmd, 4, 3},
    {40, T::Dmd, 4, 4},         {48, T::MaxMin, 2, 1},      {50, T::MaxMin, 2, 2},
    {51, T::MaxMin, 2, 3},      {52, T::MaxMin, 2, 4},      {53, T::MaxMin, 3, 2},
    {54, T::MaxMin, 3, 3},      {55, T::MaxMin, 3, 4},      {49, T::MaxMin, 4, 1},
    {56, T::MaxMin, 5, 1},      {57, T::MaxMin, 6, 1},      {58, T::MaxMin, 7, 2},
    {59, T::MaxMin, 7, 3},      {60, T::MaxMin, 7, 4},      {43, T::Counters, 2, 1},
    {45, T::Counters, 2, 2},    {44, T::Counters, 3, 1},    {46, T::Counters, 3, 2},
    {47, T::Counters, 4, 1},
};

void setSingle(QVector<qint16>& words, int v, float x) {
    const qint32 p = MBytes::LongFromSingle(x);
    words[2 * v] = MBytes::LoWord(p);
    words[2 * v + 1] = MBytes::HiWord(p);
}

void setLong(QVector<qint16>& words, int v, qint32 p) {
    words[2 * v] = MBytes::LoWord(p);
    words[2 * v + 1] = MBytes::HiWord(p);
}

// Every code a distinct value its class can show; phase sequence -1 (correct).
QVector<qint16> distinctWords() {
    QVector<qint16> w(T::kWordCount, 0);
    for (int v = 0; v < 61; ++v) {
        if (v >= 43 && v <= 47)
            setLong(w, v, 1000 + v);
        else
            setSingle(w, v, v == 19 ? -1.0f : 0.001f * float(v + 1));
    }
    return w;
}

QString expectedText(int v, const QVector<qint16>& w) {
    if (v >= 43 && v <= 46)
        return T::FormatTenths(MBytes::MakeLong(w[2 * v], w[2 * v + 1]), QStringLiteral(".")) +
               (v % 2 ? "kWh" : "kvarh");
    if (v == 47)
        return T::FormatHundredths(MBytes::MakeLong(w[2 * v], w[2 * v + 1]), QStringLiteral(".")) +
               "h";
    CVariableViewConvert c(QStringLiteral("."));
    c.VariableFloat(qint16(v), MBytes::SingleFromLong(MBytes::MakeLong(w[2 * v], w[2 * v + 1])));
    return c.ElettricDataString();
}

TEST(InstrViewVar, ClearedStateHasHeadersRowNamesAndDashes) {
    T d(QStringLiteral("."));
    const QStringList sysHeader = {"", "SYS", "L1", "L2", "L3"};
    struct Shape {
        T::Table t;
        QStringList header;
        QStringList names;
    };
    const QList<Shape> shapes = {
        {T::Electrical,
         sysHeader,
         {"VLN", "VLL", "A", "An", "W", "var", "VA", "PF", "Hz", "ASY LN", "ASY LL", "Phase seq."}},
        {T::Dmd, sysHeader, {"A dmd", "W dmd", "VA dmd"}},
        {T::MaxMin,
         sysHeader,
         {"A max", "W max", "A dmd max", "W dmd max", "VA dmd max", "PF min"}},
        {T::Counters, {"", "Totals", "Partials"}, {"Wh imp.", "varh imp.", "Hours"}},
    };
    for (const Shape& s : shapes) {
        const QVector<QStringList> rows = d.Rows(s.t);
        ASSERT_EQ(rows.size(), s.names.size() + 1);
        EXPECT_EQ(rows[0], s.header);
        for (int r = 1; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r][0], s.names[r - 1]);
            for (int c = 1; c < rows[r].size(); ++c)
                EXPECT_EQ(rows[r][c], kDash) << s.t << " " << r << " " << c;
        }
    }
    EXPECT_EQ(T::TabCaptions(),
              QStringList({"Electrical variables", "DMD, Max and Min", "Meters and alarms"}));
}

TEST(InstrViewVar, EveryCodeLandsInItsCellAndNowhereElse) {
    T d(QStringLiteral("."));
    d.setSystem(0);  // every variable exists in system 0
    const QVector<qint16> w = distinctWords();
    d.ProcessData(w);
    QSet<QString> placed;
    for (const Cell& c : kPlacement) {
        EXPECT_EQ(d.Cell(c.table, c.row, c.column), expectedText(c.v, w)) << "code " << c.v;
        placed.insert(QStringLiteral("%1/%2/%3").arg(c.table).arg(c.row).arg(c.column));
    }
    // Cells of no variable stay cleared.
    for (int t = 0; t < T::kTableCount; ++t)
        for (int r = 2; r <= T::RowCount(T::Table(t)); ++r)
            for (int col = 1; col < T::ColumnCount(T::Table(t)); ++col)
                if (!placed.contains(QStringLiteral("%1/%2/%3").arg(t).arg(r).arg(col))) {
                    EXPECT_EQ(d.Cell(T::Table(t), r, col), kDash) << t << " " << r << " " << col;
                }
    // A few texts spelled out.
    EXPECT_EQ(d.Cell(T::Electrical, 13, 1), "OK");
    EXPECT_EQ(d.Cell(T::Counters, 4, 1), "10.47h");
    EXPECT_EQ(d.Cell(T::Counters, 2, 2), "104.5kWh");
}

TEST(InstrViewVar, ReadableValuesAsAnInstallerSeesThem) {
    struct Case {
        int v;
        float x;
        T::Table table;
        int row, column;
        const char* text;
        // The number and unit beside the text; no unit: no number (phase sequence).
        double value;
        const char* unit;
    };
    const QList<Case> cases = {
        {0, 230.4f, T::Electrical, 2, 2, "230.4V", 230.4, "V"},
        {29, 50.0f, T::Electrical, 10, 2, "50.00Hz", 50.0, "Hz"},
        {20, -0.95f, T::Electrical, 9, 2, "C.950", -0.95, ""},
        {21, 0.95f, T::Electrical, 9, 3, "L.950", 0.95, ""},
        {19, 0.0f, T::Electrical, 13, 1, "NO OK", 0, nullptr},
        {25, 12345.0f, T::Electrical, 6, 1, "12.34KW", 12345.0, "W"},
        {3, 5849.3f, T::Electrical, 3, 2, "5849V", 5849.3, "V"},
    };
    for (const Case& c : cases) {
        T d(QStringLiteral("."));
        QVector<qint16> w(T::kWordCount, 0);
        setSingle(w, c.v, c.x);
        d.ProcessData(w);
        EXPECT_EQ(d.Cell(c.table, c.row, c.column), QString::fromLatin1(c.text)) << c.v;
        const T::Reading r = d.ReadingOf(c.v);
        EXPECT_EQ(r.text, QString::fromLatin1(c.text)) << c.v;
        EXPECT_EQ(r.hasValue, c.unit != nullptr) << c.v;
        if (c.unit) {
            EXPECT_EQ(r.value, c.value) << c.v;
            EXPECT_EQ(r.unit, QString::fromLatin1(c.unit)) << c.v;
        }
    }
}

TEST(InstrViewVar, CountersInTenthsAndHoursInHundredths) {
    struct Case {
        qint16 low, high;
        int v;
        const char* separator;
        const char* text;
        double value;
    };
    const QList<Case> cases = {
        {0x3039, 0, 43, ".", "1234.5kWh", 1234.5},
        {0x04D2, 0, 47, ".", "12.34h", 12.34},
        {0x04D2, 0, 47, ",", "12,34h", 12.34},
        {0x3039, 0, 44, ",", "1234,5kvarh", 1234.5},
        {5, 0, 47, ".", "0.05h", 0.05},
        {0, 0, 45, ".", "0.0kWh", 0},
        {-5, -1, 46, ".", "-0.5kvarh", -0.5},
        {-1, 0x7FFF, 43, ".", "214748364.7kWh", 214748364.7},
        {0, qint16(0x8000), 43, ".", "-214748364.8kWh", -214748364.8},
        // The high word carries the upper 16 bits: 0x00010000 tenths.
        {0, 1, 45, ".", "6553.6kWh", 6553.6},
    };
    for (const Case& c : cases) {
        T d(QString::fromLatin1(c.separator));
        QVector<qint16> w(T::kWordCount, 0);
        w[2 * c.v] = c.low;
        w[2 * c.v + 1] = c.high;
        d.ProcessData(w);
        EXPECT_EQ(d.Text(c.v), QString::fromLatin1(c.text)) << c.v;
        EXPECT_TRUE(d.ReadingOf(c.v).hasValue);
        EXPECT_DOUBLE_EQ(d.ReadingOf(c.v).value, c.value) << c.v;
    }
}

TEST(InstrViewVar, SystemMaskHidesWhatTheWiringDoesNotHave) {
    const QVector<qint16> w = distinctWords();
    for (int system = 0; system <= 4; ++system) {
        T d(QStringLiteral("."));
        d.setSystem(qint16(system));
        d.ProcessData(w);
        for (int v = 0; v < 61; ++v) {
            const bool exists = (kMasks[v] >> system) & 1;
            EXPECT_EQ(d.Text(v), exists ? expectedText(v, w) : kDash)
                << "system " << system << " code " << v;
        }
    }
    // A code the catalogue knows no system for hides everything.
    for (qint16 system : {qint16(5), qint16(16), qint16(-1), qint16(0x7FFF)}) {
        T d(QStringLiteral("."));
        d.setSystem(system);
        d.ProcessData(w);
        for (int v = 0; v < 61; ++v)
            EXPECT_EQ(d.Text(v), kDash) << "system " << system << " code " << v;
    }
}

TEST(InstrViewVar, ConversionIsTracedPerShownVariable) {
    TraceCapture trace;
    T d(QStringLiteral("."));
    d.setSystem(1);
    d.ProcessData(distinctWords());
    QStringList expected = {QStringLiteral("Conversione valori elettrici.")};
    for (int v = 0; v < 61; ++v)
        if (kMasks[v] & 0x02)
            expected << QStringLiteral("Indice variabile:%1").arg(v);
    QStringList got;
    for (const QString& l : trace.lines)
        if (l.startsWith(QStringLiteral("Conversione")) || l.startsWith(QStringLiteral("Indice")))
            got << l;
    EXPECT_EQ(got, expected);
}

TEST(InstrViewVar, ClearingAfterAConversionRestoresDashesAndKeepsNames) {
    T d(QStringLiteral("."));
    d.ProcessData(distinctWords());
    ASSERT_NE(d.Cell(T::Counters, 2, 1), kDash);
    const QVector<QStringList> before = d.Rows(T::Electrical);
    d.AzzeraGriglia();
    for (int t = 0; t < T::kTableCount; ++t) {
        const QVector<QStringList> rows = d.Rows(T::Table(t));
        for (int r = 1; r < rows.size(); ++r)
            for (int c = 1; c < rows[r].size(); ++c)
                EXPECT_EQ(rows[r][c], kDash);
    }
    for (int r = 0; r < before.size(); ++r)
        EXPECT_EQ(d.Rows(T::Electrical)[r][0], before[r][0]);
    for (int v = 0; v < 61; ++v)
        EXPECT_EQ(d.Text(v), kDash);
}

TEST(InstrViewVar, ValuesBeyondTheScaleShowDashesWithoutAMessage) {
    TraceCapture trace;
    T d(QStringLiteral("."));
    QVector<qint16> w(T::kWordCount, 0);
    setSingle(w, 0, std::numeric_limits<float>::infinity());  // automatic step
    setSingle(w, 29, 1.0e9f);                                 // fixed step of Hz
    setSingle(w, 6, 230.0f);
    EXPECT_NO_THROW(d.ProcessData(w));
    EXPECT_EQ(d.Text(0), kDash);
    EXPECT_EQ(d.Text(29), kDash);
    EXPECT_EQ(d.Text(6), "230.0A");
    EXPECT_TRUE(trace.messages.entries().isEmpty());
}

TEST(InstrViewVar, BadInputIsRefused) {
    T d(QStringLiteral("."));
    EXPECT_THROW(d.ProcessData(QVector<qint16>(121, 0)), IndexError);
    EXPECT_THROW(d.Cell(T::Electrical, 14, 1), IndexError);
    EXPECT_THROW(d.Cell(T::Counters, 2, 3), IndexError);
    EXPECT_THROW(d.Cell(T::Dmd, 0, 0), IndexError);
    EXPECT_THROW(d.setCell(T::MaxMin, 8, 0, "x"), IndexError);
    d.setElettricDataVar(2, 2, QStringLiteral("x"));
    EXPECT_EQ(d.Cell(T::Electrical, 2, 2), "x");
}

}  // namespace
