#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>

#include "base/Errors.h"

namespace voltaris {

class CRecord;

// A value that does not fit the exact type of the property it is meant for.
class ValueError : public VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// Exact type and width of a record property. The QVariant of a value always carries the
// matching C++ type: qint16, qint32, float, QString, bool, quint8.
enum class PropType { Int16, Int32, Single, Text, Bool, UInt8 };

// "16-bit integer", "32-bit integer", ... for messages.
QString PropTypeText(PropType type);

// Whether `value` can be given to a property of `type` without loss: integers of any width
// or whole-valued doubles inside the type's range for the integer types; any finite number
// inside the single range for Single; a QString for Text; a bool for Bool.
bool fits(PropType type, const QVariant& value);
// `value` converted to the exact type; an invalid QVariant when it does not fit.
QVariant toPropertyValue(PropType type, const QVariant& value);

// Number of entries of every indexed property (alarm blocks).
constexpr int IndexedCount = 16;

// One property of a record. `key` is the archive column or settings key ("m_" + name, or
// "m_b" + name for the print options' switches); an indexed property has `count` entries
// stored under key + the index in two digits, 00..15. Plain (not stored) properties are
// copied by GetData/SetData but never saved or loaded.
struct PropertyDef {
    using Getter = std::function<QVariant(const CRecord&, int index)>;
    using Setter = std::function<void(CRecord&, int index, const QVariant& exact)>;

    QString name;
    QString key;
    PropType type = PropType::Int16;
    int count = 1;
    bool stored = true;
    Getter get;  // index already checked; returns the exact type
    Setter set;  // index checked and value already converted to the exact type

    bool indexed() const { return count > 1; }
    // The column or key of one entry: `key` for a plain property, key + "NN" for an indexed one.
    QString column(int index) const;
};

// One stored value in the record's storing order.
struct FieldDef {
    int property = 0;  // index into RecordLayout::properties
    int index = 0;     // entry of an indexed property, 0 otherwise
    QString column;
};

// Everything the persistence, copy, exchange and report code needs to walk a record.
struct RecordLayout {
    QList<PropertyDef> properties;  // every property, declaration order
    QList<FieldDef> fields;         // the stored values, in storing order
    QStringList columns() const;
};

template <class T>
constexpr PropType propTypeOf();
template <>
constexpr PropType propTypeOf<qint16>() {
    return PropType::Int16;
}
template <>
constexpr PropType propTypeOf<qint32>() {
    return PropType::Int32;
}
template <>
constexpr PropType propTypeOf<float>() {
    return PropType::Single;
}
template <>
constexpr PropType propTypeOf<QString>() {
    return PropType::Text;
}
template <>
constexpr PropType propTypeOf<bool>() {
    return PropType::Bool;
}
template <>
constexpr PropType propTypeOf<quint8>() {
    return PropType::UInt8;
}

// Builders for the records' layouts; R is the record class owning `member`.
template <class R, class T>
PropertyDef plainProperty(const QString& name, T R::*member, bool stored = true,
                          const QString& key = {}) {
    PropertyDef d;
    d.name = name;
    d.key = key.isEmpty() ? QStringLiteral("m_") + name : key;
    d.type = propTypeOf<T>();
    d.stored = stored;
    d.get = [member](const CRecord& r, int) {
        return QVariant::fromValue(static_cast<const R&>(r).*member);
    };
    d.set = [member](CRecord& r, int, const QVariant& v) {
        static_cast<R&>(r).*member = v.value<T>();
    };
    return d;
}

template <class R, class T>
PropertyDef indexedProperty(const QString& name, std::array<T, IndexedCount> R::*member) {
    PropertyDef d;
    d.name = name;
    d.key = QStringLiteral("m_") + name;
    d.type = propTypeOf<T>();
    d.count = IndexedCount;
    d.get = [member](const CRecord& r, int i) {
        return QVariant::fromValue((static_cast<const R&>(r).*member)[size_t(i)]);
    };
    d.set = [member](CRecord& r, int i, const QVariant& v) {
        (static_cast<R&>(r).*member)[size_t(i)] = v.value<T>();
    };
    return d;
}

// Storing order: the stored properties one after the other, each indexed one with all its
// entries in turn.
void appendFieldsByProperty(RecordLayout& layout);
// Storing order of the alarms: for each index in turn, every stored indexed property.
void appendFieldsByIndex(RecordLayout& layout);

}  // namespace voltaris
