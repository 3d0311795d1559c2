#pragma once

#include <QString>
#include <QVariant>

#include "base/CINIManager.h"

namespace voltaris {

class Archive;

// The contract of every settings record: copy to and from a record of the same kind, store
// in and load from the archive, store in and load from the settings store or an INI file.
// Values travel as QVariant of the exact type (qint16, qint32, float, QDateTime, QString,
// bool); a value of another type is neither stored nor loaded.
class ICopyClass {
public:
    virtual ~ICopyClass() = default;
    ICopyClass(const ICopyClass&) = delete;
    ICopyClass& operator=(const ICopyClass&) = delete;

    // Slot 1: the name of the record's class ("CAlarm"), whatever its instance is called.
    // An archive record's own ClassName() hides this one and answers its instance name.
    QString ClassName() const { return CopyClassName(); }
    // Slots 2 and 3: the INI file used by LoadData/SaveData; empty for the settings store.
    virtual QString FileName() const = 0;
    virtual void setFileName(const QString& name) = 0;
    // Slot 4: whether both answer the same class name through the contract (exact match).
    virtual bool VerifySameClass(const ICopyClass& destination, const ICopyClass& source) const = 0;
    // Slot 5: a qint16/qint32 criterion adds a row with that id, a text one
    // ("IDProgramma=" + id) overwrites the row it finds. Slot 6: the text criterion only.
    virtual void SaveDataInADORS(Archive& archive, const QVariant& criterion) = 0;
    virtual void LoadDataFromADORS(Archive& archive, const QVariant& criterion) = 0;
    // Slots 7 and 8: a non-empty name becomes the file name first.
    virtual void LoadData(const QString& fileName) = 0;
    virtual void SaveData(const QString& fileName) = 0;
    // Slots 9 and 10: one value under `section`, in the INI file when a file name is set,
    // else in the per-user settings store. Loading keeps `value` (the default) when the
    // key is missing and always keeps its type. Throw IoError when the store refuses.
    virtual void SaveVariable(const QString& key, const QVariant& value,
                              const QString& section) = 0;
    virtual void LoadVariable(const QString& key, QVariant& value, const QString& section) = 0;

    // The name of this instance: archive table, settings section and wizard key.
    virtual QString InstanceName() const { return ClassName(); }

protected:
    ICopyClass() = default;
    virtual QString CopyClassName() const = 0;
};

// The ICopyClass object every record holds: its file name and the settings store / INI
// access. Its class name is empty and its archive operations do nothing, so it also
// serves as the record of a wizard page without data.
class CCopyClass : public ICopyClass {
public:
    CCopyClass() = default;

    QString FileName() const override { return m_ini.FileName(); }
    void setFileName(const QString& name) override { m_ini.setFileName(name); }
    bool VerifySameClass(const ICopyClass& destination, const ICopyClass& source) const override;
    void SaveDataInADORS(Archive&, const QVariant&) override {}
    void LoadDataFromADORS(Archive&, const QVariant&) override {}
    void LoadData(const QString& fileName) override;
    void SaveData(const QString& fileName) override;
    void SaveVariable(const QString& key, const QVariant& value, const QString& section) override;
    void LoadVariable(const QString& key, QVariant& value, const QString& section) override;

protected:
    QString CopyClassName() const override { return {}; }

private:
    CINIManager m_ini;
};

}  // namespace voltaris
