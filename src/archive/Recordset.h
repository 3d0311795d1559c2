#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <memory>

#include "archive/Archive.h"
#include "base/Errors.h"

namespace voltaris {

namespace archive_detail {
class Query;
}

// A search criterion other than "IDProgramma=" followed by a decimal integer.
class BadCriterion : public VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// Row access to one record table, positioned on one row at a time. Field values are read
// from the current row; setValue() buffers and update() writes the buffered fields.
class Recordset {
public:
    // The id of a criterion: exactly "IDProgramma=" (case as written, no blanks) then a
    // decimal integer with an optional sign that fits 32 bits. Throws BadCriterion.
    static qint32 parseCriterion(const QString& criterion);

    // `table` must be one of Archive::recordTables(); throws IoError naming it otherwise.
    Recordset(Archive& archive, const QString& table);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    const QString& table() const { return m_table; }

    // Inserts a row with this id (every other field null) and positions on it.
    void addNew(qint32 id);
    // Positions on the first row (lowest rowid) that has the criterion's id; false and no
    // current row when there is none. Throws BadCriterion before touching the database.
    bool findFirst(const QString& criterion);
    bool hasRow() const { return m_rowid >= 0; }

    // The field of the current row, a buffered value included; SQL NULL is a null QVariant.
    // Field names are matched regardless of case. Throws IoError for an unknown field or
    // when there is no current row.
    QVariant value(const QString& field) const;
    // Buffers a value for the current row; an invalid QVariant stores NULL. Moving to
    // another row drops what was not written by update().
    void setValue(const QString& field, const QVariant& value);
    // Writes the buffered fields of the current row in one statement.
    void update();

    struct TableInfo;

private:
    int column(const QString& field) const;
    void requireRow() const;
    Archive::Private& usable() const;
    void readRow(const archive_detail::Query& q);
    Archive& m_archive;
    QString m_table;
    quint64 m_generation = 0;
    std::shared_ptr<const TableInfo> m_info;
    qint64 m_rowid = -1;
    QVariantList m_row;
    QMap<int, QVariant> m_pending;
};

}  // namespace voltaris
