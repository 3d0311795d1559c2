#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

#include "tabulon/TabulonTypes.h"

namespace grevlon {

// A free-standing in-memory table with named fields, as the host hands it to the control.
// The host declares the fields, appends rows and sets values; the control moves through
// the rows and reads values. Field names are matched regardless of case. Every failure
// (unknown field, no current row, a value that does not convert) throws RowSetError
// naming the field.
class GREVLON_EXPORT RowSet {
public:
    explicit RowSet(const QStringList& fields = {});

    const QStringList& fields() const { return m_fields; }
    bool hasField(const QString& field) const { return column(field) >= 0; }
    // Declares one more field; existing rows hold no value in it. A repeated name throws.
    void appendField(const QString& field);

    // Appends a row whose fields hold no value and makes it the current row.
    void addRow();
    // Appends a row with `values` in field order (missing trailing values stay empty)
    // and makes it the current row; more values than fields throws.
    void addRow(const QVariantList& values);
    // Sets a field of the current row.
    void setValue(const QString& field, const QVariant& value);

    qint32 recordCount() const { return qint32(m_rows.size()); }
    void moveFirst() { m_pos = 0; }
    // Moves to the next row; past the last row the set is at its end.
    void moveNext();
    // Moves forward by n rows (n >= 0), stopping at the end of the set.
    void move(qint32 n);
    // True when there is no current row (past the last row, or an empty set).
    bool atEnd() const { return m_pos >= m_rows.size(); }
    // 1-based position of the current row; 0 when at the end.
    qint32 absolutePosition() const { return atEnd() ? 0 : qint32(m_pos + 1); }
    // Makes row `position` (1 .. recordCount) the current row; any other value throws.
    void setAbsolutePosition(qint32 position);

    // Makes the first row that matches `criterion` the current row, searching from the
    // first row; false and at the end when none matches. The criterion is
    // "Field='text'" (a quote inside the text doubled; compared regardless of case) or
    // "Field=number"; anything else throws.
    bool findFirst(const QString& criterion);

    // The value of a field of the current row; a null QVariant when it holds none.
    QVariant value(const QString& field) const;
    // Conversions: numbers and numeric texts (halves rounded to even, out of range
    // throws), Booleans as -1 and 0; "True"/"False" or a number for a Boolean. A field
    // holding no value throws, except for text, which reads as empty.
    qint16 int16Value(const QString& field) const;
    qint32 int32Value(const QString& field) const;
    bool boolValue(const QString& field) const;
    QString textValue(const QString& field) const;

private:
    int column(const QString& field) const;
    int requireColumn(const QString& field) const;
    qint64 wholeValue(const QString& field, qint64 lo, qint64 hi, const char* typeName) const;

    QStringList m_fields;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

}  // namespace grevlon
