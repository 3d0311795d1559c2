#include "archive/Recordset.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <limits>

#include "archive/ArchivePrivate.h"
#include "base/VariantKind.h"

namespace voltaris {

using namespace archive_detail;

namespace {

const QString CriterionPrefix = QStringLiteral("IDProgramma=");

// The value as the database gives it back, so a buffered value reads the same as a written
// one: integers of every width (booleans 0 and 1) as 64-bit, floats as double.
QVariant storable(const QVariant& v, bool* ok) {
    *ok = true;
    switch (variantKind(v)) {
        case VariantKind::Null:
            return {};
        case VariantKind::Boolean:
            return qlonglong(v.toBool() ? 1 : 0);
        case VariantKind::Unsigned:
            if (v.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max())) {
                *ok = false;
                return {};
            }
            return v.toLongLong();
        case VariantKind::Integer:
            return v.toLongLong();
        case VariantKind::Floating:
            return v.toDouble();
        case VariantKind::Text:
        case VariantKind::Bytes:
        case VariantKind::Date:
        case VariantKind::Time:
        case VariantKind::DateTime:
            return v;
        case VariantKind::Other:
            break;
    }
    *ok = false;
    return {};
}

}  // namespace

qint32 Recordset::parseCriterion(const QString& criterion) {
    const auto refuse = [&] {
        return BadCriterion(
            QStringLiteral("Unsupported search criterion \"%1\": expected IDProgramma=<number>")
                .arg(criterion));
    };
    if (!criterion.startsWith(CriterionPrefix))
        throw refuse();
    const QStringView number = QStringView(criterion).mid(CriterionPrefix.size());
    qsizetype i = 0;
    bool negative = false;
    if (i < number.size() && (number[i] == u'-' || number[i] == u'+')) {
        negative = number[i] == u'-';
        ++i;
    }
    if (i == number.size())
        throw refuse();
    qint64 value = 0;
    for (; i < number.size(); ++i) {
        const char16_t c = number[i].unicode();
        if (c < u'0' || c > u'9')
            throw refuse();
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            throw refuse();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        throw refuse();
    return static_cast<qint32>(value);
}

Recordset::Recordset(Archive& archive, const QString& table) : m_archive(archive), m_table(table) {
    Archive::Private& d = *archive.m_d;
    if (!Archive::recordTables().contains(table))
        throw IoError(
            QStringLiteral("Archive %1: unknown table %2").arg(nativePath(d.path), table));
    d.requireOpen(table);
    m_info = d.tableInfo(table);
    m_generation = d.generation;
}

Recordset::~Recordset() = default;

void Recordset::addNew(qint32 id) {
    Archive::Private& d = usable();
    m_rowid = -1;
    m_pending.clear();
    Query(d, QStringLiteral("INSERT INTO %1 (\"IDProgramma\") VALUES (?)").arg(quoteName(m_table)),
          m_table)
        .bind(id)
        .exec();
    Query q(d, m_info->selectByRowid, m_table);
    if (!q.bind(sqlite3_last_insert_rowid(d.handle)).next())
        d.fail(m_table, QStringLiteral("the new row cannot be read back"));
    readRow(q);
}

bool Recordset::findFirst(const QString& criterion) {
    const qint32 id = parseCriterion(criterion);
    Archive::Private& d = usable();
    m_rowid = -1;
    m_pending.clear();
    Query q(d, m_info->selectById, m_table);
    if (q.bind(id).next())
        readRow(q);
    return m_rowid >= 0;
}

void Recordset::readRow(const Query& q) {
    m_rowid = q.int64(0);
    m_row.resize(m_info->columns.size());
    for (int i = 0; i < m_row.size(); ++i)
        m_row[i] = q.value(i + 1);
}

Archive::Private& Recordset::usable() const {
    Archive::Private& d = *m_archive.m_d;
    d.requireOpen(m_table);
    if (d.generation != m_generation)
        d.fail(m_table, QStringLiteral("the archive was closed"));
    return d;
}

int Recordset::column(const QString& field) const {
    const int index = m_info->byLowerName.value(field.toLower(), -1);
    if (index < 0)
        m_archive.m_d->fail(m_table, QStringLiteral("unknown field %1").arg(field));
    return index;
}

void Recordset::requireRow() const {
    if (m_rowid < 0)
        m_archive.m_d->fail(m_table, QStringLiteral("no current row"));
}

QVariant Recordset::value(const QString& field) const {
    const int index = column(field);
    requireRow();
    const auto pending = m_pending.constFind(index);
    const QVariant& v = pending != m_pending.cend() ? *pending : m_row.at(index);
    return v.isNull() ? QVariant() : v;
}

void Recordset::setValue(const QString& field, const QVariant& value) {
    const int index = column(field);
    requireRow();
    bool ok = false;
    const QVariant v = storable(value, &ok);
    if (!ok)
        m_archive.m_d->fail(m_table, QStringLiteral("field %1 cannot hold a value of type %2")
                                         .arg(field, QString::fromLatin1(value.typeName())));
    m_pending.insert(index, v);
}

void Recordset::update() {
    if (m_pending.isEmpty())
        return;
    requireRow();
    Archive::Private& d = usable();
    QStringList sets;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        sets << quoteName(m_info->columns.at(it.key())) + QStringLiteral(" = ?");
    {
        Query q(d,
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                    .arg(quoteName(m_table), sets.join(QStringLiteral(", "))),
                m_table);
        for (const QVariant& v : std::as_const(m_pending))
            q.bind(v);
        q.bind(m_rowid).exec();
    }
    if (sqlite3_changes(d.handle) != 1)
        d.fail(m_table, QStringLiteral("the current row no longer exists"));
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        m_row[it.key()] = it.value();
    m_pending.clear();
}

}  // namespace voltaris
