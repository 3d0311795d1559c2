#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace voltaris {

// The program's string table, compiled in from resources/strings.txt.
// A missing id reads as an empty text; HasResString tells the two apart.
QString ResString(int id);
bool HasResString(int id);

// The text of `id` with "|1", "|2", ... replaced by the 1st, 2nd, ... argument, in that
// order (a "|1" brought in by an argument is not replaced again; a "|2" is).
QString FormatResString(int id, const QStringList& args);

template <typename... Args>
QString FormatResString(int id, const Args&... args) {
    return FormatResString(id, QStringList{QString(args)...});
}

// Replacement rule of FormatResString on any text (also used by the printing library).
QString FormatText(QString text, const QStringList& args);

// Parses a string-table file (id TAB text, escapes \n \r \t \\, '#' comments).
// Throws VoltarisError naming the line on a malformed entry or a repeated id.
class StringTable {
public:
    static StringTable parse(const QByteArray& data, const QString& sourceName);
    QString text(int id) const { return m_texts.value(id); }
    bool contains(int id) const { return m_texts.contains(id); }
    const QHash<int, QString>& texts() const { return m_texts; }

private:
    QHash<int, QString> m_texts;
};

}  // namespace voltaris
