#include "ResString.h"

#include <QHash>

#include "Errors.h"

extern const char voltaris_strings[];
extern const std::size_t voltaris_strings_size;

namespace voltaris {

namespace {

const StringTable& table() {
    static const StringTable t = StringTable::parse(
        QByteArray::fromRawData(voltaris_strings, static_cast<qsizetype>(voltaris_strings_size)),
        QStringLiteral("strings.txt"));
    return t;
}

QString unescape(const QString& raw, int lineNo, const QString& sourceName) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw.at(i);
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (i + 1 >= raw.size())
            throw VoltarisError(QStringLiteral("%1 line %2: lone backslash at the end")
                                    .arg(sourceName)
                                    .arg(lineNo));
        QChar e = raw.at(++i);
        switch (e.unicode()) {
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case '\\':
                out += u'\\';
                break;
            default:
                throw VoltarisError(QStringLiteral("%1 line %2: unknown escape \\%3")
                                        .arg(sourceName)
                                        .arg(lineNo)
                                        .arg(e));
        }
    }
    return out;
}

}  // namespace

StringTable StringTable::parse(const QByteArray& data, const QString& sourceName) {
    StringTable t;
    const QString all = QString::fromUtf8(data);
    const QStringList lines = all.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok)
            throw VoltarisError(
                QStringLiteral("%1 line %2: expected an id and a tab").arg(sourceName).arg(n + 1));
        if (t.m_texts.contains(id))
            throw VoltarisError(
                QStringLiteral("%1 line %2: id %3 given twice").arg(sourceName).arg(n + 1).arg(id));
        t.m_texts.insert(id, unescape(line.mid(tab + 1), n + 1, sourceName));
    }
    return t;
}

QString ResString(int id) {
    return table().text(id);
}

bool HasResString(int id) {
    return table().contains(id);
}

QString FormatText(QString text, const QStringList& args) {
    for (int i = 0; i < args.size(); ++i)
        text.replace(QStringLiteral("|%1").arg(i + 1), args.at(i));
    return text;
}

QString FormatResString(int id, const QStringList& args) {
    return FormatText(ResString(id), args);
}

}  // namespace voltaris
