#pragma once

#include <QMetaType>
#include <QVariant>

namespace voltaris {

// What a QVariant holds, as far as storing or converting it goes. The archive, the recordset
// buffer and the record properties all sort values this way, so a value is treated alike
// wherever it travels.
enum class VariantKind {
    Null,      // no value at all (an invalid QVariant)
    Boolean,   // kept apart: the properties refuse it for a number, the archive stores 0/1
    Integer,   // a signed integer of any width, or an unsigned one that always fits 64 bits
    Unsigned,  // ULong, ULongLong: may be beyond the largest qint64
    Floating,  // float, double
    Text,      // QString
    Bytes,     // QByteArray
    Date,
    Time,
    DateTime,
    Other,  // anything else (lists, maps, null pointers, ...)
};

inline VariantKind variantKind(int typeId) {
    switch (typeId) {
        case QMetaType::UnknownType:
            return VariantKind::Null;
        case QMetaType::Bool:
            return VariantKind::Boolean;
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return VariantKind::Integer;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return VariantKind::Unsigned;
        case QMetaType::Float:
        case QMetaType::Double:
            return VariantKind::Floating;
        case QMetaType::QString:
            return VariantKind::Text;
        case QMetaType::QByteArray:
            return VariantKind::Bytes;
        case QMetaType::QDate:
            return VariantKind::Date;
        case QMetaType::QTime:
            return VariantKind::Time;
        case QMetaType::QDateTime:
            return VariantKind::DateTime;
        default:
            return VariantKind::Other;
    }
}

inline VariantKind variantKind(const QVariant& value) {
    return variantKind(value.metaType().id());
}

// A whole number of any width, signed or not; a boolean is not one.
inline bool isIntegralType(int typeId) {
    const VariantKind k = variantKind(typeId);
    return k == VariantKind::Integer || k == VariantKind::Unsigned;
}

inline bool isFloatingType(int typeId) {
    return variantKind(typeId) == VariantKind::Floating;
}

}  // namespace voltaris
