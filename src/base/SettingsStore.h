#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <memory>

class QSettings;

namespace voltaris {

// Text forms of record values, shared by the settings store and the INI files: decimal
// integers, the shortest text that reads back to the same single, ISO 8601 dates, "1"/"0".
QString ToStoredText(qint16 value);
QString ToStoredText(qint32 value);
QString ToStoredText(float value);
QString ToStoredText(const QDateTime& value);
QString ToStoredText(const QDate& value);
QString ToStoredText(const QString& value);
QString ToStoredText(bool value);

// The value of a stored text, or `def` when the text is empty or does not convert to T
// (garbage, out of T's range, a non-finite single). Integers also accept a decimal text,
// rounded half to even; a bool is the numeric value not 0, or "true"/"false"; a QString
// is returned as it is. Defined for qint16, qint32, float, QDateTime, QDate, QString, bool.
template <class T>
T FromStoredText(const QString& text, T def);

template <>
qint16 FromStoredText<qint16>(const QString& text, qint16 def);
template <>
qint32 FromStoredText<qint32>(const QString& text, qint32 def);
template <>
float FromStoredText<float>(const QString& text, float def);
template <>
QDateTime FromStoredText<QDateTime>(const QString& text, QDateTime def);
template <>
QDate FromStoredText<QDate>(const QString& text, QDate def);
template <>
QString FromStoredText<QString>(const QString& text, QString def);
template <>
bool FromStoredText<bool>(const QString& text, bool def);

// The per-user settings store: sections of key = text. It lives in the per-user
// configuration folder under the name "Voltaris" (~/.config/Voltaris.ini),
// unless a file is named by setFileOverride() or the environment variable
// VOLTARIS_SETTINGS. Values are kept as the exact texts given.
class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString value(const QString& section, const QString& key, const QString& def = {}) const;
    void setValue(const QString& section, const QString& key, const QString& text);
    bool contains(const QString& section, const QString& key) const;
    void remove(const QString& section, const QString& key);
    void removeSection(const QString& section);
    // Writes pending changes; false when the store could not be written.
    bool sync();

    // Typed access through the stored text: the default when missing or unreadable.
    template <class T>
    T read(const QString& section, const QString& key, T def) const {
        return contains(section, key) ? FromStoredText<T>(value(section, key), def) : def;
    }
    template <class T>
    void write(const QString& section, const QString& key, const T& v) {
        setValue(section, key, ToStoredText(v));
    }

    // The file in use: the override, else $VOLTARIS_SETTINGS, else the per-user file.
    static QString location();
    // Names the file for stores opened from now on; empty goes back to the default.
    static void setFileOverride(const QString& path);

private:
    std::unique_ptr<QSettings> m_settings;
};

// The window placement keys of section "Settings", with their defaults.
enum class SettingKey { MainLeft, MainTop, MainWidth, MainHeight, WindowState };

struct SettingDef {
    SettingKey id;
    const char* section;
    const char* key;
    qint32 def;
    qint32 min;
    qint32 max;
};

const SettingDef& settingDef(SettingKey id);

// The stored value, or the key's default when it is missing, not a number or out of range.
qint32 readSetting(const SettingsStore& store, SettingKey id);
void writeSetting(SettingsStore& store, SettingKey id, qint32 value);

}  // namespace voltaris
