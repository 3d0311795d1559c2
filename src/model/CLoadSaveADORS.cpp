#include "model/CLoadSaveADORS.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <limits>

#include "archive/Recordset.h"
#include "base/Errors.h"
#include "base/Printable.h"

namespace voltaris {

namespace {

QString typeText(int typeId) {
    switch (typeId) {
        case QMetaType::Short:
            return QStringLiteral("16-bit integer");
        case QMetaType::Int:
            return QStringLiteral("32-bit integer");
        case QMetaType::Float:
            return QStringLiteral("single");
        case QMetaType::Double:
            return QStringLiteral("double");
        case QMetaType::QDateTime:
        case QMetaType::QDate:
            return QStringLiteral("date");
        case QMetaType::Bool:
            return QStringLiteral("boolean");
        default:
            return QString::fromLatin1(QMetaType(typeId).name());
    }
}

// The number a field holds: integers as they are, reals rounded half to even the way an
// assignment to an integer variable rounds them.
bool wholeField(const QVariant& field, qint64 lo, qint64 hi, qint64* out) {
    bool ok = false;
    qint64 v = 0;
    if (field.metaType().id() == QMetaType::Double) {
        const double d = field.toDouble();
        // Beyond +-2^62 nothing fits our widths, and the cast below stays defined.
        if (!std::isfinite(d) || std::fabs(d) > 4.6e18)
            return false;
        v = qint64(std::nearbyint(d));
        ok = true;
    } else {
        v = field.toLongLong(&ok);
    }
    if (!ok || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool numberField(const QVariant& field, double* out) {
    bool ok = false;
    const double d = field.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    *out = d;
    return true;
}

}  // namespace

void CLoadSaveADORS::SaveVariable(const QString& field, const QVariant& value) {
    if (!m_recordset)
        return;
    switch (value.metaType().id()) {
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Float:
        case QMetaType::Double:
        case QMetaType::QDate:
        case QMetaType::QDateTime:
        case QMetaType::Bool:
            m_recordset->setValue(field, value);
            break;
        case QMetaType::QString:
            if (!value.toString().isEmpty())
                m_recordset->setValue(field, value);
            break;
        default:
            break;
    }
    m_recordset->update();
}

void CLoadSaveADORS::LoadVariable(const QString& field, QVariant& value) {
    if (!m_recordset)
        return;
    const QVariant content = m_recordset->value(field);
    const int type = value.metaType().id();
    if (type == QMetaType::QString) {
        value = content.isNull() ? QString() : content.toString();
        return;
    }
    const QString table = m_recordset->table();
    if (content.isNull())
        throw IoError(QStringLiteral("Table %1, column %2 holds no value where a %3 is expected")
                          .arg(table, field, typeText(type)));
    const auto unusable = [&] {
        return IoError(
            QStringLiteral("Table %1, column %2: \"%3\" is not a valid %4")
                .arg(table, field, PrintableExcerpt(content.toString()), typeText(type)));
    };
    qint64 whole = 0;
    double number = 0;
    switch (type) {
        case QMetaType::Short:
            if (!wholeField(content, std::numeric_limits<qint16>::min(),
                            std::numeric_limits<qint16>::max(), &whole))
                throw unusable();
            value = QVariant::fromValue(qint16(whole));
            break;
        case QMetaType::Int:
            if (!wholeField(content, std::numeric_limits<qint32>::min(),
                            std::numeric_limits<qint32>::max(), &whole))
                throw unusable();
            value = QVariant::fromValue(qint32(whole));
            break;
        case QMetaType::Bool:
            if (!wholeField(content, std::numeric_limits<qint64>::min(),
                            std::numeric_limits<qint64>::max(), &whole))
                throw unusable();
            value = QVariant(whole != 0);
            break;
        case QMetaType::Float:
            if (!numberField(content, &number) ||
                std::fabs(number) > double(std::numeric_limits<float>::max()))
                throw unusable();
            value = QVariant::fromValue(float(number));
            break;
        case QMetaType::Double:
            if (!numberField(content, &number))
                throw unusable();
            value = QVariant(number);
            break;
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            QDateTime when = content.toDateTime();
            if (!when.isValid())
                when = QDateTime::fromString(content.toString(), Qt::ISODate);
            if (!when.isValid())
                throw unusable();
            value = type == QMetaType::QDate ? QVariant(when.date()) : QVariant(when);
            break;
        }
        default:
            break;
    }
}

}  // namespace voltaris
