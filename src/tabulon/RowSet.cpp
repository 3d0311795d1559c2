#include "tabulon/RowSet.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace grevlon {

namespace {

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// The numeric value of a variant that holds a number, a Boolean or a numeric text.
bool toNumber(const QVariant& v, double* out) {
    switch (v.metaType().id()) {
        case QMetaType::Bool:
            *out = v.toBool() ? -1.0 : 0.0;
            return true;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Double:
        case QMetaType::Float:
            *out = v.toDouble();
            return std::isfinite(*out);
        case QMetaType::QString: {
            bool ok = false;
            *out = QLocale::c().toDouble(v.toString().trimmed(), &ok);
            return ok && std::isfinite(*out);
        }
        default:
            return false;
    }
}

}  // namespace

RowSet::RowSet(const QStringList& fields) {
    for (const QString& f : fields)
        appendField(f);
}

void RowSet::appendField(const QString& field) {
    if (field.isEmpty() || column(field) >= 0)
        throw RowSetError(QStringLiteral("The row set already has a field named '%1'").arg(field));
    m_fields.append(field);
    for (QVariantList& row : m_rows)
        row.append(QVariant());
}

void RowSet::addRow() {
    m_rows.append(QVariantList(m_fields.size()));
    m_pos = m_rows.size() - 1;
}

void RowSet::addRow(const QVariantList& values) {
    if (values.size() > m_fields.size())
        throw RowSetError(QStringLiteral("A row of %1 values given to a row set of %2 fields")
                              .arg(values.size())
                              .arg(m_fields.size()));
    QVariantList row = values;
    row.resize(m_fields.size());
    m_rows.append(row);
    m_pos = m_rows.size() - 1;
}

void RowSet::setValue(const QString& field, const QVariant& value) {
    const int c = requireColumn(field);
    if (atEnd())
        throw RowSetError(QStringLiteral("No current row to set the field '%1' in").arg(field));
    m_rows[m_pos][c] = value;
}

void RowSet::moveNext() {
    if (m_pos < m_rows.size())
        ++m_pos;
}

void RowSet::move(qint32 n) {
    if (n < 0)
        throw RowSetError(
            QStringLiteral("A row set moves forward only (asked to move by %1)").arg(n));
    m_pos = std::min<qsizetype>(m_pos + n, m_rows.size());
}

void RowSet::setAbsolutePosition(qint32 position) {
    if (position < 1 || position > m_rows.size())
        throw RowSetError(QStringLiteral("Row %1 does not exist in a row set of %2 rows")
                              .arg(position)
                              .arg(m_rows.size()));
    m_pos = position - 1;
}

bool RowSet::findFirst(const QString& criterion) {
    static const QRegularExpression re(QStringLiteral("^\\s*([^=\\s]+)\\s*=\\s*(.*?)\\s*$"));
    const QRegularExpressionMatch m = re.match(criterion);
    if (!m.hasMatch())
        throw RowSetError(QStringLiteral("Search criterion not understood: %1").arg(criterion));
    const int c = requireColumn(m.captured(1));
    const QString operand = m.captured(2);

    bool isText = false;
    QString text;
    double number = 0;
    if (operand.size() >= 2 && operand.startsWith(u'\'') && operand.endsWith(u'\'')) {
        const QString inner = operand.mid(1, operand.size() - 2);
        for (qsizetype i = 0; i < inner.size(); ++i) {
            text += inner.at(i);
            // Inside the quotes a quote is written twice; a single one would end the text.
            if (inner.at(i) == u'\'' && (++i >= inner.size() || inner.at(i) != u'\''))
                throw RowSetError(
                    QStringLiteral("Search criterion not understood: %1").arg(criterion));
        }
        isText = true;
    } else {
        bool ok = false;
        number = QLocale::c().toDouble(operand, &ok);
        if (!ok)
            throw RowSetError(QStringLiteral("Search criterion not understood: %1").arg(criterion));
    }

    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const QVariant& v = m_rows.at(i).at(c);
        if (isNull(v))
            continue;
        bool match = false;
        if (isText) {
            match = v.toString().compare(text, Qt::CaseInsensitive) == 0;
        } else {
            double d = 0;
            match = toNumber(v, &d) && d == number;
        }
        if (match) {
            m_pos = i;
            return true;
        }
    }
    m_pos = m_rows.size();
    return false;
}

QVariant RowSet::value(const QString& field) const {
    const int c = requireColumn(field);
    if (atEnd())
        throw RowSetError(QStringLiteral("No current row to read the field '%1' from").arg(field));
    return m_rows.at(m_pos).at(c);
}

qint64 RowSet::wholeValue(const QString& field, qint64 lo, qint64 hi, const char* typeName) const {
    const QVariant v = value(field);
    if (isNull(v))
        throw RowSetError(QStringLiteral("The field '%1' holds no value").arg(field));
    double d = 0;
    if (!toNumber(v, &d))
        throw RowSetError(QStringLiteral("The field '%1' holds '%2', which is not a number")
                              .arg(field, v.toString()));
    // Halves go to the even neighbour, as the host's own conversions do.
    const double r = std::nearbyint(d);
    if (r < double(lo) || r > double(hi))
        throw RowSetError(QStringLiteral("The field '%1' holds %2, which does not fit a %3")
                              .arg(field, v.toString(), QLatin1String(typeName)));
    return qint64(r);
}

qint16 RowSet::int16Value(const QString& field) const {
    return qint16(wholeValue(field, std::numeric_limits<qint16>::min(),
                             std::numeric_limits<qint16>::max(), "16-bit integer"));
}

qint32 RowSet::int32Value(const QString& field) const {
    return qint32(wholeValue(field, std::numeric_limits<qint32>::min(),
                             std::numeric_limits<qint32>::max(), "32-bit integer"));
}

bool RowSet::boolValue(const QString& field) const {
    const QVariant v = value(field);
    if (isNull(v))
        throw RowSetError(QStringLiteral("The field '%1' holds no value").arg(field));
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    if (v.metaType().id() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    double d = 0;
    if (!toNumber(v, &d))
        throw RowSetError(QStringLiteral("The field '%1' holds '%2', which is not a Boolean")
                              .arg(field, v.toString()));
    return d != 0;
}

QString RowSet::textValue(const QString& field) const {
    const QVariant v = value(field);
    if (isNull(v))
        return QString();
    switch (v.metaType().id()) {
        case QMetaType::Bool:
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Double:
            return QString::number(v.toDouble(), 'g', 15);
        case QMetaType::Float:
            return QString::number(double(v.toFloat()), 'g', 7);
        default:
            if (!v.canConvert<QString>())
                throw RowSetError(QStringLiteral("The field '%1' does not hold a text").arg(field));
            return v.toString();
    }
}

int RowSet::column(const QString& field) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int RowSet::requireColumn(const QString& field) const {
    const int c = column(field);
    if (c < 0)
        throw RowSetError(QStringLiteral("The row set has no field named '%1'").arg(field));
    return c;
}

}  // namespace grevlon
