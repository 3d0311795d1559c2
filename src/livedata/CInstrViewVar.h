#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

#include "variables/CVariableViewConvert.h"

namespace voltaris {

// Turns the 122 live measurement words of an instrument into the texts of four tables:
// electrical variables, demand values, maximum and minimum values, energy and hour
// counters. Rows count from 1 (row 1 is the header), columns from 0 (row names).
class CInstrViewVar {
public:
    enum Table { Electrical = 0, Dmd = 1, MaxMin = 2, Counters = 3 };
    static constexpr int kTableCount = 4;
    static constexpr int kWordCount = 122;
    static constexpr int kVariableCount = 61;

    // Counters in tenths and hours in hundredths use `decimalPoint`; so do the scaled values.
    CInstrViewVar();
    explicit CInstrViewVar(const QString& decimalPoint);

    // Captions of the three tabs (resources 1620..1622).
    static QStringList TabCaptions();
    static int RowCount(Table t);     // 13, 4, 7, 4
    static int ColumnCount(Table t);  // 5, 5, 5, 3
    // Field names: VariableName, SYS, L1, L2, L3 (counters: VariableName, Total, Partial).
    static QStringList FieldNames(Table t);

    // Puts all four tables in the cleared state: headers, row names, "-----" elsewhere.
    void AzzeraGriglia();

    qint16 System() const { return m_System; }
    void setSystem(qint16 system) { m_System = system; }

    // One cell; throws IndexError for a row or column outside the table.
    QString Cell(Table t, int row, int column) const;
    void setCell(Table t, int row, int column, const QString& text);
    void setElettricDataVar(int row, int column, const QString& text) {
        setCell(Electrical, row, column, text);
    }
    void setElettricDataDMDVar(int row, int column, const QString& text) {
        setCell(Dmd, row, column, text);
    }
    void setElettricDataMinMaxVar(int row, int column, const QString& text) {
        setCell(MaxMin, row, column, text);
    }
    void setCounterVar(int row, int column, const QString& text) {
        setCell(Counters, row, column, text);
    }
    // Rows 1.. of a table, each with its columns.
    QVector<QStringList> Rows(Table t) const;

    // Converts the words of registers 0..121 with the current System and places all 61
    // texts. Throws IndexError when fewer than 122 words are given.
    void ProcessData(const QVector<qint16>& words);
    // Text of variable v (0..60) after the last ProcessData.
    QString Text(int v) const;
    // Variable v as shown, as a number in `unit` (what the text shows, before the scaling's
    // prefix and rounding) and the unit; no number when the text is no measurement.
    struct Reading {
        QString text;
        bool hasValue = false;
        double value = 0;
        QString unit;
        static Reading textOnly(const QString& text) { return {text, false, 0, QString()}; }
    };
    Reading ReadingOf(int v) const;

    // Where variable v is shown: table, row, column; false for none.
    struct Place {
        Table table;
        int row;
        int column;
    };
    static bool PlaceOf(int v, Place& place);

    // The counter numbers: tenths as "#######0.0", hundredths as "#####0.00"; the texts shown
    // add the unit (kWh, kvarh, h).
    static QString FormatTenths(qint32 tenths, const QString& decimalPoint);
    static QString FormatHundredths(qint32 hundredths, const QString& decimalPoint);

private:
    Reading readingOf(int v, qint16 low, qint16 high);

    QString m_decimalPoint;
    qint16 m_System = 0;
    std::array<quint16, 61> m_masks{};
    std::array<Reading, 61> m_readings;
    std::array<QVector<QStringList>, kTableCount> m_tables;
    CVariableViewConvert m_converter;
};

}  // namespace voltaris
