#include "CINIManager.h"

#include <QFile>
#include <cmath>
#include <limits>

#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/SettingsStore.h"

namespace voltaris {

namespace {

// The platform's profile calls fill fixed buffers of this size.
constexpr qsizetype kBufferSize = 1024;

bool sectionName(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyLine(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.startsWith(u';') || t.startsWith(u'#') || t.startsWith(u'['))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    if (key->isEmpty())
        return false;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Names each followed by a NUL, cut at the buffer size, searched for `name` ignoring case.
bool inNameList(const QStringList& names, const QString& name) {
    QString list;
    for (const QString& n : names) {
        list += n;
        list += QChar(u'\0');
        if (list.size() >= kBufferSize)
            break;
    }
    list.truncate(kBufferSize);
    return list.contains(name, Qt::CaseInsensitive);
}

bool hasLineBreak(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r');
}

bool validSection(const QString& section) {
    return !section.trimmed().isEmpty() && !hasLineBreak(section) && !section.contains(u']');
}

bool validKey(const QString& key) {
    const QString t = key.trimmed();
    return !t.isEmpty() && !hasLineBreak(key) && !key.contains(u'=') && !t.startsWith(u'[') &&
           !t.startsWith(u';') && !t.startsWith(u'#');
}

// The leading number of a text as the platform's numeric conversion reads it: blanks,
// a sign, digits, an optional fraction; nothing numeric reads as 0.
double leadingValue(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128)
        ++i;
    if (i < t.size() && t.at(i) == u'.') {
        ++i;
        while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128)
            ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && t.at(digitsStart) == u'.'))
        return 0;
    bool ok = false;
    const double v = t.left(i).toDouble(&ok);
    return ok ? v : 0;
}

}  // namespace

struct CINIManager::Content {
    QStringList lines;
    QString eol = QStringLiteral("\r\n");

    QStringList sectionNames() const {
        QStringList names;
        QString name;
        for (const QString& line : lines)
            if (sectionName(line, &name))
                names << name;
        return names;
    }
    // Index of the header of the first section named `section`, -1 when none.
    qsizetype findSection(const QString& section, qsizetype from = 0) const {
        QString name;
        for (qsizetype i = from; i < lines.size(); ++i)
            if (sectionName(lines.at(i), &name) && sameName(name, section))
                return i;
        return -1;
    }
    // One past the last line of the section whose header is at `header`.
    qsizetype sectionEnd(qsizetype header) const {
        QString name;
        qsizetype i = header + 1;
        while (i < lines.size() && !sectionName(lines.at(i), &name))
            ++i;
        return i;
    }
};

CINIManager::Content CINIManager::load() const {
    Content c;
    QFile f(m_fileName);
    if (m_fileName.isEmpty() || !f.open(QIODevice::ReadOnly))
        return c;
    const QString text = QString::fromLatin1(f.readAll());
    if (text.isEmpty())
        return c;
    if (!text.contains(QStringLiteral("\r\n")) && text.contains(u'\n'))
        c.eol = QStringLiteral("\n");
    c.lines = text.split(u'\n');
    if (c.lines.last().isEmpty())
        c.lines.removeLast();
    for (QString& line : c.lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return c;
}

bool CINIManager::save(const Content& content) const {
    if (m_fileName.isEmpty())
        return false;
    QString text;
    for (const QString& line : content.lines)
        text += line + content.eol;
    try {
        WriteFileSafely(m_fileName, text.toLatin1());
        return true;
    } catch (const IoError&) {
        return false;
    }
}

bool CINIManager::INISectionExist(const QString& Section) const {
    if (Section.isEmpty())
        return false;
    return inNameList(load().sectionNames(), Section);
}

bool CINIManager::INIKeyExist(const QString& Section, const QString& Key) const {
    if (Key.isEmpty() || !INISectionExist(Section))
        return false;
    const Content c = load();
    const qsizetype header = c.findSection(Section);
    if (header < 0)
        return false;
    QStringList keys;
    QString key;
    for (qsizetype i = header + 1, end = c.sectionEnd(header); i < end; ++i)
        if (keyLine(c.lines.at(i), &key, nullptr))
            keys << key;
    return inNameList(keys, Key);
}

bool CINIManager::rawValue(const QString& Section, const QString& Key, QString* value) const {
    const Content c = load();
    const qsizetype header = c.findSection(Section);
    if (header < 0)
        return false;
    QString key;
    for (qsizetype i = header + 1, end = c.sectionEnd(header); i < end; ++i) {
        if (keyLine(c.lines.at(i), &key, value) && sameName(key, Key.trimmed())) {
            value->truncate(kBufferSize);
            return true;
        }
    }
    return false;
}

bool CINIManager::lookup(const QString& Section, const QString& Key, QString* value) const {
    return INIKeyExist(Section, Key) && rawValue(Section, Key, value);
}

QString CINIManager::INIGetString(const QString& Section, const QString& Key,
                                  const QString& Default) const {
    QString value;
    return lookup(Section, Key, &value) ? value : Default;
}

qint32 CINIManager::INIGetLong(const QString& Section, const QString& Key, qint32 Default) const {
    QString value;
    if (!lookup(Section, Key, &value))
        return Default;
    const double v = std::trunc(leadingValue(value));
    if (v < 0 || v > double(std::numeric_limits<qint32>::max()))
        return 0;
    return qint32(v);
}

qint16 CINIManager::INIGetInt(const QString& Section, const QString& Key, qint16 Default) const {
    QString value;
    return lookup(Section, Key, &value) ? FromStoredText<qint16>(value, Default) : Default;
}

float CINIManager::INIGetSingle(const QString& Section, const QString& Key, float Default) const {
    QString value;
    return lookup(Section, Key, &value) ? FromStoredText<float>(value, Default) : Default;
}

QDateTime CINIManager::INIGetDate(const QString& Section, const QString& Key,
                                  const QDateTime& Default) const {
    QString value;
    return lookup(Section, Key, &value) ? FromStoredText<QDateTime>(value, Default) : Default;
}

bool CINIManager::INIGetBool(const QString& Section, const QString& Key, bool Default) const {
    QString value;
    return lookup(Section, Key, &value) ? leadingValue(value) == 1.0 : Default;
}

bool CINIManager::INIAddKeyString(const QString& Section, const QString& Key,
                                  const QString& Value) {
    if (m_fileName.isEmpty() || !validSection(Section) || !validKey(Key) || hasLineBreak(Value))
        return false;
    Content c = load();
    const QString key = Key.trimmed();
    const qsizetype header = c.findSection(Section);
    if (header < 0) {
        if (!c.lines.isEmpty() && !c.lines.last().trimmed().isEmpty())
            c.lines << QString();
        c.lines << u'[' + Section.trimmed() + u']' << key + u'=' + Value;
        return save(c);
    }
    const qsizetype end = c.sectionEnd(header);
    QString found;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (keyLine(c.lines.at(i), &found, nullptr) && sameName(found, key)) {
            c.lines[i] = found + u'=' + Value;
            return save(c);
        }
    }
    qsizetype at = end;
    while (at > header + 1 && c.lines.at(at - 1).trimmed().isEmpty())
        --at;
    c.lines.insert(at, key + u'=' + Value);
    return save(c);
}

bool CINIManager::INIAddKeyLong(const QString& Section, const QString& Key, qint32 Value) {
    if (Value < 0)
        return false;
    return INIAddKeyString(Section, Key, ToStoredText(Value));
}

bool CINIManager::INIAddKeyInt(const QString& Section, const QString& Key, qint16 Value) {
    return INIAddKeyString(Section, Key, ToStoredText(Value));
}

bool CINIManager::INIAddKeySingle(const QString& Section, const QString& Key, float Value) {
    return INIAddKeyString(Section, Key, ToStoredText(Value));
}

bool CINIManager::INIAddKeyDate(const QString& Section, const QString& Key,
                                const QDateTime& Value) {
    return INIAddKeyString(Section, Key, ToStoredText(Value));
}

bool CINIManager::INIAddKeyBool(const QString& Section, const QString& Key, bool Value) {
    return INIAddKeyString(Section, Key, ToStoredText(Value));
}

bool CINIManager::INIDelSection(const QString& Section) {
    if (!INISectionExist(Section))
        return false;
    Content c = load();
    bool removed = false;
    for (qsizetype header = c.findSection(Section); header >= 0;
         header = c.findSection(Section, header)) {
        c.lines.remove(header, c.sectionEnd(header) - header);
        removed = true;
    }
    return removed && save(c);
}

bool CINIManager::INIDelKey(const QString& Section, const QString& Key) {
    if (!INIKeyExist(Section, Key))
        return false;
    Content c = load();
    bool removed = false;
    QString found;
    for (qsizetype header = c.findSection(Section); header >= 0;
         header = c.findSection(Section, header + 1)) {
        for (qsizetype i = c.sectionEnd(header) - 1; i > header; --i) {
            if (keyLine(c.lines.at(i), &found, nullptr) && sameName(found, Key.trimmed())) {
                c.lines.removeAt(i);
                removed = true;
            }
        }
    }
    return removed && save(c);
}

}  // namespace voltaris
