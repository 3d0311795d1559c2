#include "model/Property.h"

#include <cmath>
#include <limits>

#include "base/VariantKind.h"

namespace voltaris {

namespace {

// The whole number held by `value`, when it holds one inside [lo, hi].
bool wholeNumber(const QVariant& value, qint64 lo, qint64 hi, qint64* out) {
    switch (variantKind(value)) {
        case VariantKind::Unsigned: {
            const qulonglong u = value.toULongLong();
            if (u > qulonglong(hi))
                return false;
            *out = qint64(u);
            return *out >= lo;
        }
        case VariantKind::Integer:
            *out = value.toLongLong();
            return *out >= lo && *out <= hi;
        case VariantKind::Floating: {
            const double d = value.toDouble();
            if (!std::isfinite(d) || d != std::trunc(d) || d < double(lo) || d > double(hi))
                return false;
            *out = qint64(d);
            return true;
        }
        default:
            return false;
    }
}

template <class T>
QVariant integerValue(const QVariant& value) {
    qint64 v = 0;
    if (!wholeNumber(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), &v))
        return {};
    return QVariant::fromValue(static_cast<T>(v));
}

}  // namespace

QString PropTypeText(PropType type) {
    switch (type) {
        case PropType::Int16:
            return QStringLiteral("16-bit integer");
        case PropType::Int32:
            return QStringLiteral("32-bit integer");
        case PropType::Single:
            return QStringLiteral("single");
        case PropType::Text:
            return QStringLiteral("text");
        case PropType::Bool:
            return QStringLiteral("boolean");
        case PropType::UInt8:
            return QStringLiteral("8-bit unsigned integer");
    }
    return {};
}

QVariant toPropertyValue(PropType type, const QVariant& value) {
    const int id = value.metaType().id();
    switch (type) {
        case PropType::Int16:
            return integerValue<qint16>(value);
        case PropType::Int32:
            return integerValue<qint32>(value);
        case PropType::UInt8:
            return integerValue<quint8>(value);
        case PropType::Single: {
            if (!isIntegralType(id) && !isFloatingType(id))
                return {};
            const double d = value.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max()))
                return {};
            return QVariant::fromValue(static_cast<float>(d));
        }
        case PropType::Text:
            return id == QMetaType::QString ? value : QVariant();
        case PropType::Bool:
            return id == QMetaType::Bool ? value : QVariant();
    }
    return {};
}

bool fits(PropType type, const QVariant& value) {
    return toPropertyValue(type, value).isValid();
}

QString PropertyDef::column(int index) const {
    if (!indexed())
        return key;
    return key + QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
}

QStringList RecordLayout::columns() const {
    QStringList out;
    for (const FieldDef& f : fields)
        out << f.column;
    return out;
}

void appendFieldsByProperty(RecordLayout& layout) {
    for (int p = 0; p < layout.properties.size(); ++p) {
        const PropertyDef& def = layout.properties[p];
        if (!def.stored)
            continue;
        for (int i = 0; i < def.count; ++i)
            layout.fields.push_back({p, i, def.column(i)});
    }
}

void appendFieldsByIndex(RecordLayout& layout) {
    for (int i = 0; i < IndexedCount; ++i) {
        for (int p = 0; p < layout.properties.size(); ++p) {
            const PropertyDef& def = layout.properties[p];
            if (def.stored && def.indexed())
                layout.fields.push_back({p, i, def.column(i)});
        }
    }
}

}  // namespace voltaris
