#include "model/ICopyClass.h"

#include <QDate>
#include <QDateTime>
#include <QDir>

#include "base/Errors.h"
#include "base/SettingsStore.h"

namespace voltaris {

namespace {

IoError iniRefused(const QString& file, const QString& section, const QString& key,
                   const QVariant& value) {
    return IoError(QStringLiteral("Cannot write %1=%2 in section [%3] of the file %4")
                       .arg(key, value.toString(), section, QDir::toNativeSeparators(file)));
}

}  // namespace

bool CCopyClass::VerifySameClass(const ICopyClass& destination, const ICopyClass& source) const {
    return destination.ClassName() == source.ClassName();
}

void CCopyClass::LoadData(const QString& fileName) {
    if (!fileName.isEmpty())
        m_ini.setFileName(fileName);
}

void CCopyClass::SaveData(const QString& fileName) {
    if (!fileName.isEmpty())
        m_ini.setFileName(fileName);
}

void CCopyClass::SaveVariable(const QString& key, const QVariant& value, const QString& section) {
    const int type = value.metaType().id();
    if (!m_ini.FileName().isEmpty()) {
        bool ok = true;
        switch (type) {
            case QMetaType::Short:
                ok = m_ini.INIAddKeyInt(section, key, value.value<qint16>());
                break;
            case QMetaType::Int:
                ok = m_ini.INIAddKeyLong(section, key, value.value<qint32>());
                break;
            case QMetaType::Float:
                ok = m_ini.INIAddKeySingle(section, key, value.value<float>());
                break;
            case QMetaType::QDateTime:
                ok = m_ini.INIAddKeyDate(section, key, value.toDateTime());
                break;
            case QMetaType::QDate:
                ok = m_ini.INIAddKeyDate(section, key, value.toDate().startOfDay());
                break;
            case QMetaType::QString:
                ok = m_ini.INIAddKeyString(section, key, value.toString());
                break;
            case QMetaType::Bool:
                ok = m_ini.INIAddKeyBool(section, key, value.toBool());
                break;
            default:
                return;
        }
        if (!ok)
            throw iniRefused(m_ini.FileName(), section, key, value);
        return;
    }

    SettingsStore store;
    switch (type) {
        case QMetaType::Short:
            store.write(section, key, value.value<qint16>());
            break;
        case QMetaType::Int:
            store.write(section, key, value.value<qint32>());
            break;
        case QMetaType::Float:
            store.write(section, key, value.value<float>());
            break;
        case QMetaType::QDateTime:
            store.write(section, key, value.toDateTime());
            break;
        case QMetaType::QDate:
            store.write(section, key, value.toDate());
            break;
        case QMetaType::QString:
            store.write(section, key, value.toString());
            break;
        case QMetaType::Bool:
            store.write(section, key, value.toBool());
            break;
        default:
            return;
    }
    if (!store.sync())
        throw IoError(QStringLiteral("Cannot write %1 in section [%2] of the settings file %3")
                          .arg(key, section, QDir::toNativeSeparators(SettingsStore::location())));
}

void CCopyClass::LoadVariable(const QString& key, QVariant& value, const QString& section) {
    const int type = value.metaType().id();
    if (!m_ini.FileName().isEmpty()) {
        switch (type) {
            case QMetaType::Short:
                value = QVariant::fromValue(m_ini.INIGetInt(section, key, value.value<qint16>()));
                break;
            case QMetaType::Int:
                value = QVariant::fromValue(m_ini.INIGetLong(section, key, value.value<qint32>()));
                break;
            case QMetaType::Float:
                value = QVariant::fromValue(m_ini.INIGetSingle(section, key, value.value<float>()));
                break;
            case QMetaType::QDateTime:
                value = QVariant(m_ini.INIGetDate(section, key, value.toDateTime()));
                break;
            case QMetaType::QDate:
                value =
                    QVariant(m_ini.INIGetDate(section, key, value.toDate().startOfDay()).date());
                break;
            case QMetaType::QString:
                value = QVariant(m_ini.INIGetString(section, key, value.toString()));
                break;
            case QMetaType::Bool:
                value = QVariant(m_ini.INIGetBool(section, key, value.toBool()));
                break;
            default:
                break;
        }
        return;
    }

    const SettingsStore store;
    switch (type) {
        case QMetaType::Short:
            value = QVariant::fromValue(store.read<qint16>(section, key, value.value<qint16>()));
            break;
        case QMetaType::Int:
            value = QVariant::fromValue(store.read<qint32>(section, key, value.value<qint32>()));
            break;
        case QMetaType::Float:
            value = QVariant::fromValue(store.read<float>(section, key, value.value<float>()));
            break;
        case QMetaType::QDateTime:
            value = QVariant(store.read<QDateTime>(section, key, value.toDateTime()));
            break;
        case QMetaType::QDate:
            value = QVariant(store.read<QDate>(section, key, value.toDate()));
            break;
        case QMetaType::QString:
            value = QVariant(store.read<QString>(section, key, value.toString()));
            break;
        case QMetaType::Bool:
            value = QVariant(store.read<bool>(section, key, value.toBool()));
            break;
        default:
            break;
    }
}

}  // namespace voltaris
