#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "model/CLoadSaveADORS.h"
#include "model/ICopyClass.h"
#include "model/Property.h"

namespace voltaris {

// Common ground of the configuration and settings records: every persistence and copy
// operation walks the record's layout (its table of properties and stored fields), so a
// record class only declares its members, accessors and layout.
class CRecord : public ICopyClass {
public:
    // Archive records live in the table named by their instance name; settings records in
    // the section of their class name (per-user settings store or INI file).
    enum class Family { Archive, Settings };

    virtual const RecordLayout& Layout() const = 0;
    Family RecordFamily() const { return m_family; }

    const QList<PropertyDef>& Properties() const { return Layout().properties; }
    const QList<FieldDef>& Fields() const { return Layout().fields; }
    // Columns (or settings keys) of the stored values, in storing order.
    QStringList Columns() const { return Layout().columns(); }
    // The property of that name, nullptr when the record has none.
    const PropertyDef* FindProperty(const QString& name) const;

    // Typed access through the layout. `def` must come from this record's Properties()
    // (VoltarisError otherwise); `index` 0 for a plain property, 0..15 for an indexed one
    // (IndexError otherwise). Set throws ValueError when the value does not fit the
    // property's type (see fits()).
    QVariant Get(const PropertyDef& def, int index = 0) const;
    void Set(const PropertyDef& def, int index, const QVariant& value);

    // When VerifySameClass(destination, this) holds: copies every property into the
    // destination, and the instance name where the record's class copies it. Otherwise
    // nothing happens.
    void GetData(ICopyClass& destination) const;
    // Likewise from `source` into this record.
    void SetData(const ICopyClass& source);
    // Same class and every property (stored or plain) equal; instance names not compared.
    bool SameData(const CRecord& other) const;

    QString FileName() const override { return m_copy.FileName(); }
    void setFileName(const QString& name) override { m_copy.setFileName(name); }
    bool VerifySameClass(const ICopyClass& destination, const ICopyClass& source) const override {
        return m_copy.VerifySameClass(destination, source);
    }
    // Archive records: see ICopyClass; traces "Apertura tabella:" + instance name and every
    // field ("SaveVariable m_X=value" / "LoadVariable m_X"). A criterion of another type
    // or form, and a text criterion finding no row, are failed checks (AssertFailed).
    // Loading sets the record only when every field was read. Settings records: nothing.
    void SaveDataInADORS(Archive& archive, const QVariant& criterion) override;
    void LoadDataFromADORS(Archive& archive, const QVariant& criterion) override;
    // Remember a non-empty file name; settings records then load or save every stored
    // property under their section.
    void LoadData(const QString& fileName) override;
    void SaveData(const QString& fileName) override;
    void SaveVariable(const QString& key, const QVariant& value, const QString& section) override {
        m_copy.SaveVariable(key, value, section);
    }
    void LoadVariable(const QString& key, QVariant& value, const QString& section) override {
        m_copy.LoadVariable(key, value, section);
    }
    QString InstanceName() const override { return m_instanceName; }

    // The text a value takes in the trace ("True"/"False" for booleans).
    static QString TraceText(const QVariant& value);

protected:
    CRecord(const QString& className, Family family, bool copiesInstanceName);
    QString CopyClassName() const override { return m_className; }
    void setInstanceName(const QString& name) { m_instanceName = name; }
    // Throws IndexError naming the property unless 0 <= index < 16.
    static void checkIndex(const char* property, int index);

private:
    void checkOwned(const PropertyDef& def, int index) const;

    QString m_className;
    QString m_instanceName;
    Family m_family;
    bool m_copiesInstanceName;
    CCopyClass m_copy;
    CLoadSaveADORS m_ado;
};

// A record of a configuration, stored as one row of the archive table named by its
// instance name.
class CArchiveRecord : public CRecord {
public:
    // The instance name (default: the class's own name). Hides ICopyClass::ClassName(),
    // which keeps answering the class's own name.
    QString ClassName() const { return InstanceName(); }
    void setClassName(const QString& name) { setInstanceName(name); }

protected:
    explicit CArchiveRecord(const QString& className, bool copiesClassName = true)
        : CRecord(className, Family::Archive, copiesClassName) {}
};

// A record kept in the settings store; writes "Class_Initialize() " + class name when created.
class CSettingsRecord : public CRecord {
protected:
    explicit CSettingsRecord(const QString& className);
};

}  // namespace voltaris
