#include "livedata/CInstrViewVar.h"

#include <QLocale>
#include <charconv>

#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "variables/FixedPoint.h"
#include "variables/VariableCatalogue.h"

namespace voltaris {

namespace {

constexpr int kCleared = 1760;
constexpr int kVariableCount = CInstrViewVar::kVariableCount;

struct TableShape {
    int rows;
    int columns;
    int firstRowName;  // resource of the row name of row 2
};

constexpr std::array<TableShape, CInstrViewVar::kTableCount> kShapes{{
    {13, 5, 1650},
    {4, 5, 1670},
    {7, 5, 1680},
    {4, 3, 1690},
}};

// Table, row, column of each variable code 0..60.
constexpr std::array<CInstrViewVar::Place, kVariableCount> kPlaces = [] {
    using T = CInstrViewVar;
    std::array<CInstrViewVar::Place, kVariableCount> p{};
    auto put = [&p](int v, T::Table t, int row, int column) {
        p[std::size_t(v)] = {t, row, column};
    };
    // Electrical: SYS, L1, L2, L3 are columns 1..4; -1 leaves the cell empty.
    const int electrical[12][4] = {{23, 0, 1, 2},    {24, 3, 4, 5},    {-1, 6, 7, 8},
                                   {9, -1, -1, -1},  {25, 10, 11, 12}, {27, 16, 17, 18},
                                   {26, 13, 14, 15}, {28, 20, 21, 22}, {-1, 29, -1, -1},
                                   {30, -1, -1, -1}, {31, -1, -1, -1}, {19, -1, -1, -1}};
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 4; ++c)
            if (electrical[r][c] >= 0)
                put(electrical[r][c], T::Electrical, r + 2, c + 1);
    const int dmd[3][4] = {{-1, 32, 33, 34}, {41, 35, 36, 37}, {42, 38, 39, 40}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            if (dmd[r][c] >= 0)
                put(dmd[r][c], T::Dmd, r + 2, c + 1);
    const int maxMin[6][4] = {{48, 50, 51, 52}, {-1, 53, 54, 55}, {49, -1, -1, -1},
                              {56, -1, -1, -1}, {57, -1, -1, -1}, {-1, 58, 59, 60}};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            if (maxMin[r][c] >= 0)
                put(maxMin[r][c], T::MaxMin, r + 2, c + 1);
    put(43, T::Counters, 2, 1);
    put(45, T::Counters, 2, 2);
    put(44, T::Counters, 3, 1);
    put(46, T::Counters, 3, 2);
    put(47, T::Counters, 4, 1);
    return p;
}();

// Takes the place of the current message sink while a value is converted: a measurement
// the scaling cannot show is the instrument's business, not a reason for a message box.
class QuietMessages : public UserMessages {
public:
    void show(Icon, const QString&, const QString&) override {}
    Answer askYesNo(Icon, const QString&, const QString&) override { return Answer::No; }
};

}  // namespace

CInstrViewVar::CInstrViewVar() : CInstrViewVar(QLocale::system().decimalPoint()) {}

CInstrViewVar::CInstrViewVar(const QString& decimalPoint)
    : m_decimalPoint(decimalPoint), m_converter(decimalPoint) {
    const VariableCatalogue& catalogue = VariableCatalogue::standard();
    for (int v = 0; v < kVariableCount; ++v)
        m_masks[std::size_t(v)] = static_cast<quint16>((catalogue.entry(v).value >> 16) & 0xFFFFu);
    for (int t = 0; t < kTableCount; ++t)
        m_tables[std::size_t(t)] = QVector<QStringList>(
            kShapes[std::size_t(t)].rows, QStringList(kShapes[std::size_t(t)].columns, QString()));
    AzzeraGriglia();
}

QStringList CInstrViewVar::TabCaptions() {
    return {ResString(1620), ResString(1621), ResString(1622)};
}

int CInstrViewVar::RowCount(Table t) {
    return kShapes.at(std::size_t(t)).rows;
}

int CInstrViewVar::ColumnCount(Table t) {
    return kShapes.at(std::size_t(t)).columns;
}

QStringList CInstrViewVar::FieldNames(Table t) {
    if (t == Counters)
        return {QStringLiteral("VariableName"), QStringLiteral("Total"), QStringLiteral("Partial")};
    return {QStringLiteral("VariableName"), QStringLiteral("SYS"), QStringLiteral("L1"),
            QStringLiteral("L2"), QStringLiteral("L3")};
}

void CInstrViewVar::AzzeraGriglia() {
    const QString cleared = ResString(kCleared);
    for (int t = 0; t < kTableCount; ++t) {
        const TableShape& shape = kShapes[std::size_t(t)];
        QVector<QStringList>& rows = m_tables[std::size_t(t)];
        for (int c = 1; c < shape.columns; ++c)
            rows[0][c] = ResString(t == Counters ? 1700 + c - 1 : 1630 + c - 1);
        for (int r = 1; r < shape.rows; ++r) {
            rows[r][0] = ResString(shape.firstRowName + r - 1);
            for (int c = 1; c < shape.columns; ++c)
                rows[r][c] = cleared;
        }
    }
    for (Reading& r : m_readings)
        r = Reading::textOnly(cleared);
}

QString CInstrViewVar::Cell(Table t, int row, int column) const {
    if (int(t) < 0 || int(t) >= kTableCount || row < 1 || row > RowCount(t) || column < 0 ||
        column >= ColumnCount(t))
        throw IndexError(QStringLiteral("Cella %1,%2 fuori tabella").arg(row).arg(column));
    return m_tables[std::size_t(t)][row - 1][column];
}

void CInstrViewVar::setCell(Table t, int row, int column, const QString& text) {
    (void)Cell(t, row, column);
    m_tables[std::size_t(t)][row - 1][column] = text;
}

QVector<QStringList> CInstrViewVar::Rows(Table t) const {
    if (int(t) < 0 || int(t) >= kTableCount)
        throw IndexError(QStringLiteral("Tabella %1 inesistente").arg(int(t)));
    return m_tables[std::size_t(t)];
}

bool CInstrViewVar::PlaceOf(int v, Place& place) {
    if (v < 0 || v >= kVariableCount)
        return false;
    place = kPlaces[std::size_t(v)];
    return place.row != 0;
}

QString CInstrViewVar::FormatTenths(qint32 tenths, const QString& decimalPoint) {
    return FormatFixed(tenths, 1, decimalPoint);
}

QString CInstrViewVar::FormatHundredths(qint32 hundredths, const QString& decimalPoint) {
    return FormatFixed(hundredths, 2, decimalPoint);
}

QString CInstrViewVar::Text(int v) const {
    if (v < 0 || v >= kVariableCount)
        throw IndexError(QStringLiteral("Indice variabile %1 fuori tabella").arg(v));
    return m_readings[std::size_t(v)].text;
}

CInstrViewVar::Reading CInstrViewVar::ReadingOf(int v) const {
    if (v < 0 || v >= kVariableCount)
        throw IndexError(QStringLiteral("Indice variabile %1 fuori tabella").arg(v));
    return m_readings[std::size_t(v)];
}

CInstrViewVar::Reading CInstrViewVar::readingOf(int v, qint16 low, qint16 high) {
    const qint32 p = MBytes::MakeLong(low, high);
    if (v >= 43 && v <= 46) {
        const QString unit = (v == 43 || v == 45) ? QStringLiteral("kWh") : QStringLiteral("kvarh");
        return {FormatTenths(p, m_decimalPoint) + unit, true, p / 10.0, unit};
    }
    if (v == 47)
        return {FormatHundredths(p, m_decimalPoint) + u'h', true, p / 100.0, QStringLiteral("h")};
    QuietMessages quiet;
    ScopedMessages scope(&quiet);
    try {
        const float value = MBytes::SingleFromLong(p);
        m_converter.VariableFloat(static_cast<qint16>(v), value);
        const CVariableType& type = m_converter.VariableType();
        if (type.IsPhaseSequence())
            return Reading::textOnly(m_converter.ElettricDataString());
        // The single's shortest decimal form, not its binary fraction widened to a double.
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return {m_converter.ElettricDataString(), true,
                QByteArray(digits, qsizetype(end - digits)).toDouble(), type.UnitaIngegneristica()};
    } catch (const AssertFailed&) {
        // Out of the scale table's reach (an infinity, 10^16 or more): nothing to show.
        return Reading::textOnly(ResString(kCleared));
    }
}

void CInstrViewVar::ProcessData(const QVector<qint16>& words) {
    if (words.size() < kWordCount)
        throw IndexError(QStringLiteral("ProcessData: %1 parole invece di %2")
                             .arg(words.size())
                             .arg(kWordCount));
    g_Trace().BugMessage(QStringLiteral("Conversione valori elettrici."));
    const bool validSystem = m_System >= 0 && m_System < 16;
    for (int v = 0; v < kVariableCount; ++v) {
        if (validSystem && (m_masks[std::size_t(v)] >> m_System) & 1u) {
            g_Trace().BugMessage(QStringLiteral("Indice variabile:") + QString::number(v));
            m_readings[std::size_t(v)] = readingOf(v, words[2 * v], words[2 * v + 1]);
        } else {
            m_readings[std::size_t(v)] = Reading::textOnly(ResString(kCleared));
        }
    }
    for (int v = 0; v < kVariableCount; ++v) {
        const Place& p = kPlaces[std::size_t(v)];
        m_tables[std::size_t(p.table)][p.row - 1][p.column] = m_readings[std::size_t(v)].text;
    }
}

}  // namespace voltaris
