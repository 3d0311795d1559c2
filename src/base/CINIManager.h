#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace voltaris {

// An INI file of [sections] and key=value lines, Latin-1 on disk. Every call reads the
// file afresh; every write replaces it atomically and keeps the other lines, comments and
// their order. Section and key names compare without regard to letter case; lines without
// '=' are kept and ignored.
class CINIManager {
public:
    CINIManager() = default;
    explicit CINIManager(const QString& fileName) : m_fileName(fileName) {}

    void Create(const QString& FileName) { m_fileName = FileName; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& FileName) { m_fileName = FileName; }

    // Whether `Section` occurs, ignoring case, as a SUBSTRING of the list of section names
    // (names each followed by a NUL, the list cut at 1024 characters). False when empty.
    bool INISectionExist(const QString& Section) const;
    // Whether INISectionExist(Section) and `Key` occurs as a substring of the list of key
    // names of the section named exactly `Section` (same 1024-character list).
    bool INIKeyExist(const QString& Section, const QString& Key) const;

    // Each reader returns `Default` when INIKeyExist is false or the exact key is missing.
    // Values are read trimmed and cut at 1024 characters.
    QString INIGetString(const QString& Section, const QString& Key, const QString& Default) const;
    // A whole number of at least 0: negative, non-numeric or too large values read as 0.
    qint32 INIGetLong(const QString& Section, const QString& Key, qint32 Default) const;
    // Unparseable or out-of-range texts read as `Default`.
    qint16 INIGetInt(const QString& Section, const QString& Key, qint16 Default) const;
    float INIGetSingle(const QString& Section, const QString& Key, float Default) const;
    QDateTime INIGetDate(const QString& Section, const QString& Key,
                         const QDateTime& Default) const;
    // True exactly when the numeric value of the text is 1.
    bool INIGetBool(const QString& Section, const QString& Key, bool Default) const;

    // Writers create the file and the section as needed and return success. Names that are
    // empty or would break the file's structure (line breaks, '=' in a key, ']' in a
    // section) and values with line breaks are refused.
    bool INIAddKeyString(const QString& Section, const QString& Key, const QString& Value);
    // Refuses a negative value: returns false and writes nothing.
    bool INIAddKeyLong(const QString& Section, const QString& Key, qint32 Value);
    bool INIAddKeyInt(const QString& Section, const QString& Key, qint16 Value);
    bool INIAddKeySingle(const QString& Section, const QString& Key, float Value);
    bool INIAddKeyDate(const QString& Section, const QString& Key, const QDateTime& Value);
    // Writes "1" or "0".
    bool INIAddKeyBool(const QString& Section, const QString& Key, bool Value);

    // Remove every section named exactly `Section` (with its lines) / every line of `Key`
    // in it, when the existence test passes; return whether something was removed.
    bool INIDelSection(const QString& Section);
    bool INIDelKey(const QString& Section, const QString& Key);

private:
    struct Content;
    Content load() const;
    bool save(const Content& content) const;
    // The exact key's raw value; false when the section or key is missing.
    bool rawValue(const QString& Section, const QString& Key, QString* value) const;
    // INIKeyExist, then the exact value; false when the reader must return its default.
    bool lookup(const QString& Section, const QString& Key, QString* value) const;

    QString m_fileName;
};

}  // namespace voltaris
