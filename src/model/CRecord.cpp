#include "model/CRecord.h"

#include <QDate>
#include <QDateTime>

#include "archive/Recordset.h"
#include "base/CTraceCode.h"
#include "base/SettingsStore.h"

namespace voltaris {

namespace {

// Lends the record's open recordset to its field writer for one operation.
class RecordsetLoan {
public:
    RecordsetLoan(CLoadSaveADORS& ado, Recordset& rs) : m_ado(ado) { m_ado.setRecordset(&rs); }
    ~RecordsetLoan() { m_ado.setRecordset(nullptr); }
    RecordsetLoan(const RecordsetLoan&) = delete;
    RecordsetLoan& operator=(const RecordsetLoan&) = delete;

private:
    CLoadSaveADORS& m_ado;
};

QString unexpectedParameter(const QString& operation, const QString& instance) {
    return QStringLiteral("Parametro di ") + operation + QStringLiteral("(...) nella classe ") +
           instance + QStringLiteral(" non previsto");
}

// Positions `rs` on the row of a text criterion; failed checks for a criterion of another
// form and for a missing row.
void findRow(Recordset& rs, const QString& criterion, const QString& operation,
             const QString& instance) {
    bool found = false;
    try {
        found = rs.findFirst(criterion);
    } catch (const BadCriterion&) {
        g_Trace().BugAssert(false, unexpectedParameter(operation, instance));
    }
    if (!found)
        g_Trace().BugAssert(false, QStringLiteral("Record non trovato con il criterio:") +
                                       criterion + QStringLiteral(" nella tabella ") + instance);
}

}  // namespace

CRecord::CRecord(const QString& className, Family family, bool copiesInstanceName)
    : m_className(className),
      m_instanceName(className),
      m_family(family),
      m_copiesInstanceName(copiesInstanceName) {}

CSettingsRecord::CSettingsRecord(const QString& className)
    : CRecord(className, Family::Settings, false) {
    g_Trace().BugMessage(QStringLiteral("Class_Initialize() ") + className);
}

void CRecord::checkIndex(const char* property, int index) {
    if (index < 0 || index >= IndexedCount)
        throw IndexError(QStringLiteral("Index %1 of %2 is outside 0..%3")
                             .arg(index)
                             .arg(QLatin1String(property))
                             .arg(IndexedCount - 1));
}

const PropertyDef* CRecord::FindProperty(const QString& name) const {
    for (const PropertyDef& def : Properties()) {
        if (def.name == name)
            return &def;
    }
    return nullptr;
}

void CRecord::checkOwned(const PropertyDef& def, int index) const {
    const QList<PropertyDef>& props = Properties();
    const PropertyDef* first = props.constData();
    if (&def < first || &def >= first + props.size())
        throw VoltarisError(
            QStringLiteral("%1 is not a property of %2").arg(def.name, m_className));
    if (index < 0 || index >= def.count)
        throw IndexError(QStringLiteral("Index %1 of %2.%3 is outside 0..%4")
                             .arg(index)
                             .arg(m_className, def.name)
                             .arg(def.count - 1));
}

QVariant CRecord::Get(const PropertyDef& def, int index) const {
    checkOwned(def, index);
    return def.get(*this, index);
}

void CRecord::Set(const PropertyDef& def, int index, const QVariant& value) {
    checkOwned(def, index);
    const QVariant exact = toPropertyValue(def.type, value);
    if (!exact.isValid())
        throw ValueError(QStringLiteral("%1.%2: \"%3\" is not a valid %4")
                             .arg(m_className, def.name, value.toString(), PropTypeText(def.type)));
    def.set(*this, index, exact);
}

void CRecord::GetData(ICopyClass& destination) const {
    if (!VerifySameClass(destination, *this))
        return;
    auto* target = dynamic_cast<CRecord*>(&destination);
    if (!target || target == this)
        return;
    target->SetData(*this);
}

void CRecord::SetData(const ICopyClass& source) {
    if (!VerifySameClass(source, *this))
        return;
    const auto* from = dynamic_cast<const CRecord*>(&source);
    if (!from || from == this)
        return;
    // Same class, hence the same layout object: every definition applies to both records.
    const QList<PropertyDef>& props = Properties();
    for (const PropertyDef& def : props) {
        for (int i = 0; i < def.count; ++i)
            def.set(*this, i, def.get(*from, i));
    }
    if (m_copiesInstanceName)
        m_instanceName = from->m_instanceName;
}

bool CRecord::SameData(const CRecord& other) const {
    if (m_className != other.m_className)
        return false;
    for (const PropertyDef& def : Properties()) {
        for (int i = 0; i < def.count; ++i) {
            if (def.get(*this, i) != def.get(other, i))
                return false;
        }
    }
    return true;
}

QString CRecord::TraceText(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Float:
            return ToStoredText(value.value<float>());
        case QMetaType::QDateTime:
            return ToStoredText(value.toDateTime());
        case QMetaType::QDate:
            return ToStoredText(value.toDate());
        default:
            return value.toString();
    }
}

void CRecord::SaveDataInADORS(Archive& archive, const QVariant& criterion) {
    if (m_family != Family::Archive)
        return;
    const QString operation = QStringLiteral("SaveDataInADORS");
    g_Trace().BugMessage(QStringLiteral("Apertura tabella:") + m_instanceName);
    Recordset rs(archive, m_instanceName);
    switch (criterion.metaType().id()) {
        case QMetaType::Short:
        case QMetaType::Int:
            rs.addNew(criterion.toInt());
            break;
        case QMetaType::QString:
            findRow(rs, criterion.toString(), operation, m_instanceName);
            break;
        default:
            g_Trace().BugAssert(false, unexpectedParameter(operation, m_instanceName));
    }
    RecordsetLoan loan(m_ado, rs);
    const QList<PropertyDef>& props = Properties();
    for (const FieldDef& field : Fields()) {
        const QVariant value = props[field.property].get(*this, field.index);
        g_Trace().BugMessage(QStringLiteral("SaveVariable ") + field.column + u'=' +
                             TraceText(value));
        m_ado.SaveVariable(field.column, value);
    }
}

void CRecord::LoadDataFromADORS(Archive& archive, const QVariant& criterion) {
    if (m_family != Family::Archive)
        return;
    const QString operation = QStringLiteral("LoadVariableFromADORS");
    g_Trace().BugMessage(QStringLiteral("Apertura tabella:") + m_instanceName);
    Recordset rs(archive, m_instanceName);
    if (criterion.metaType().id() != QMetaType::QString)
        g_Trace().BugAssert(false, unexpectedParameter(operation, m_instanceName));
    findRow(rs, criterion.toString(), operation, m_instanceName);

    RecordsetLoan loan(m_ado, rs);
    const QList<PropertyDef>& props = Properties();
    const QList<FieldDef>& fields = Fields();
    QVariantList values;
    values.reserve(fields.size());
    for (const FieldDef& field : fields) {
        g_Trace().BugMessage(QStringLiteral("LoadVariable ") + field.column);
        QVariant value = props[field.property].get(*this, field.index);
        m_ado.LoadVariable(field.column, value);
        values.push_back(value);
    }
    for (int f = 0; f < fields.size(); ++f)
        props[fields[f].property].set(*this, fields[f].index, values[f]);
}

void CRecord::LoadData(const QString& fileName) {
    m_copy.LoadData(fileName);
    if (m_family != Family::Settings)
        return;
    const QList<PropertyDef>& props = Properties();
    for (const FieldDef& field : Fields()) {
        const PropertyDef& def = props[field.property];
        QVariant value = def.get(*this, field.index);
        m_copy.LoadVariable(field.column, value, m_instanceName);
        def.set(*this, field.index, value);
    }
}

void CRecord::SaveData(const QString& fileName) {
    m_copy.SaveData(fileName);
    if (m_family != Family::Settings)
        return;
    const QList<PropertyDef>& props = Properties();
    for (const FieldDef& field : Fields())
        m_copy.SaveVariable(field.column, props[field.property].get(*this, field.index),
                            m_instanceName);
}

}  // namespace voltaris
