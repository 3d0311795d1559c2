#include "SettingsStore.h"

#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <charconv>
#include <cmath>
#include <limits>

namespace voltaris {

namespace {

QString g_fileOverride;

// A whole number in range [lo, hi]: decimal integer text, or a decimal text rounded half
// to even (the platform's integer conversion); false when neither.
bool toWhole(const QString& text, qint64 lo, qint64 hi, qint64* out) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    qint64 v = t.toLongLong(&ok);
    if (!ok) {
        const double d = QLocale::c().toDouble(t, &ok);
        if (!ok || !std::isfinite(d) || d < double(lo) - 1 || d > double(hi) + 1)
            return false;
        v = qint64(std::nearbyint(d));
    }
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

QString key(const QString& section, const QString& k) {
    return section + u'/' + k;
}

constexpr SettingDef kSettings[] = {
    {SettingKey::MainLeft, "Settings", "MainLeft", 100, std::numeric_limits<qint32>::min(),
     std::numeric_limits<qint32>::max()},
    {SettingKey::MainTop, "Settings", "MainTop", 100, std::numeric_limits<qint32>::min(),
     std::numeric_limits<qint32>::max()},
    {SettingKey::MainWidth, "Settings", "MainWidth", 6800, 1, std::numeric_limits<qint32>::max()},
    {SettingKey::MainHeight, "Settings", "MainHeight", 3750, 1, std::numeric_limits<qint32>::max()},
    {SettingKey::WindowState, "Settings", "WindowState", 0, 0, 2},
};

}  // namespace

QString ToStoredText(qint16 value) {
    return QString::number(value);
}
QString ToStoredText(qint32 value) {
    return QString::number(value);
}

QString ToStoredText(float value) {
    // The shortest text that reads back to the very same single; plain decimals unless
    // that would be a long run of zeros.
    char buf[64];
    const auto fixed = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (fixed.ec == std::errc() && fixed.ptr - buf <= 20)
        return QString::fromLatin1(buf, fixed.ptr - buf);
    const auto any = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, any.ptr - buf);
}

QString ToStoredText(const QDateTime& value) {
    return value.isValid() ? value.toString(Qt::ISODate) : QString();
}

QString ToStoredText(const QDate& value) {
    return value.isValid() ? value.toString(Qt::ISODate) : QString();
}

QString ToStoredText(const QString& value) {
    return value;
}
QString ToStoredText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

template <>
qint16 FromStoredText<qint16>(const QString& text, qint16 def) {
    qint64 v = 0;
    return toWhole(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), &v)
               ? qint16(v)
               : def;
}

template <>
qint32 FromStoredText<qint32>(const QString& text, qint32 def) {
    qint64 v = 0;
    return toWhole(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), &v)
               ? qint32(v)
               : def;
}

template <>
float FromStoredText<float>(const QString& text, float def) {
    // from_chars rounds to the nearest single, so FLT_MAX written out reads back.
    QByteArray t = text.trimmed().toLatin1();
    if (t.startsWith('+'))
        t.remove(0, 1);
    float v = 0;
    const auto res = std::from_chars(t.constData(), t.constData() + t.size(), v);
    const bool whole = res.ec == std::errc() && res.ptr == t.constData() + t.size();
    return !t.isEmpty() && whole && std::isfinite(v) ? v : def;
}

template <>
QDateTime FromStoredText<QDateTime>(const QString& text, QDateTime def) {
    const QString t = text.trimmed();
    QDateTime v = QDateTime::fromString(t, Qt::ISODate);
    if (!v.isValid()) {
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (d.isValid())
            v = d.startOfDay();
    }
    return v.isValid() ? v : def;
}

template <>
QDate FromStoredText<QDate>(const QString& text, QDate def) {
    const QString t = text.trimmed();
    QDate v = QDate::fromString(t, Qt::ISODate);
    if (!v.isValid())
        v = QDateTime::fromString(t, Qt::ISODate).date();
    return v.isValid() ? v : def;
}

template <>
QString FromStoredText<QString>(const QString& text, QString) {
    return text;
}

template <>
bool FromStoredText<bool>(const QString& text, bool def) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(v) ? v != 0 : def;
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(location(), QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::location() {
    if (!g_fileOverride.isEmpty())
        return g_fileOverride;
    const QString env = qEnvironmentVariable("VOLTARIS_SETTINGS");
    if (!env.isEmpty())
        return env;
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Voltaris"),
                     QString())
        .fileName();
}

void SettingsStore::setFileOverride(const QString& path) {
    g_fileOverride = path;
}

QString SettingsStore::value(const QString& section, const QString& k, const QString& def) const {
    const QVariant v = m_settings->value(key(section, k));
    if (!v.isValid())
        return def;
    // A hand-edited value with commas comes back from the INI reader as a list.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v.toString();
}

void SettingsStore::setValue(const QString& section, const QString& k, const QString& text) {
    m_settings->setValue(key(section, k), text);
}

bool SettingsStore::contains(const QString& section, const QString& k) const {
    return m_settings->contains(key(section, k));
}

void SettingsStore::remove(const QString& section, const QString& k) {
    m_settings->remove(key(section, k));
}

void SettingsStore::removeSection(const QString& section) {
    m_settings->remove(section);
}

bool SettingsStore::sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

const SettingDef& settingDef(SettingKey id) {
    for (const SettingDef& d : kSettings)
        if (d.id == id)
            return d;
    return kSettings[0];
}

qint32 readSetting(const SettingsStore& store, SettingKey id) {
    const SettingDef& d = settingDef(id);
    const QString section = QString::fromLatin1(d.section);
    const QString k = QString::fromLatin1(d.key);
    if (!store.contains(section, k))
        return d.def;
    qint64 v = 0;
    return toWhole(store.value(section, k), d.min, d.max, &v) ? qint32(v) : d.def;
}

void writeSetting(SettingsStore& store, SettingKey id, qint32 value) {
    const SettingDef& d = settingDef(id);
    store.setValue(QString::fromLatin1(d.section), QString::fromLatin1(d.key), ToStoredText(value));
}

}  // namespace voltaris
