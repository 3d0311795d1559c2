#include "IniFileFuzz.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

#include "base/CINIManager.h"

namespace voltaris::test {

namespace {

using Name = QPair<QString, QString>;  // section, key

QString inputPath() {
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("input.ini"));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The section and key names the file appears to hold (the first few): the queries only,
// so a name this scan reads differently from the manager costs nothing.
QList<Name> namesIn(const QByteArray& bytes) {
    QList<Name> names;
    QString section;
    for (const QString& raw : QString::fromLatin1(bytes).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0)
                section = line.mid(1, close - 1).trimmed();
        } else if (const qsizetype eq = line.indexOf(u'='); eq > 0 && !section.isEmpty()) {
            names << Name{section, line.left(eq).trimmed()};
        }
        if (names.size() >= 24)
            break;
    }
    return names;
}

QStringList valuesOf(const CINIManager& ini, const QList<Name>& names) {
    QStringList values;
    for (const Name& n : names)
        values << ini.INIGetString(n.first, n.second, QStringLiteral("<default>"));
    return values;
}

// A section name the file does not hold under any letter case.
QString freshSection(const QByteArray& bytes) {
    QString name = QStringLiteral("FuzzAdded");
    while (QString::fromLatin1(bytes).contains(name, Qt::CaseInsensitive))
        name += u'X';
    return name;
}

}  // namespace

QString FuzzIniFile(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = inputPath();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the input file");
    }
    CINIManager ini(path);
    const QList<Name> names = namesIn(bytes);
    const QStringList before = valuesOf(ini, names);

    for (const Name& n : names) {
        const qint32 l = ini.INIGetLong(n.first, n.second, -7);
        if (l < 0 && l != -7)
            return QStringLiteral("a long read negative: ") + n.second;
        ini.INIGetInt(n.first, n.second, 0);
        ini.INIGetSingle(n.first, n.second, 0);
        ini.INIGetDate(n.first, n.second, {});
        ini.INIGetBool(n.first, n.second, false);
    }

    if (ini.INIAddKeyString(QStringLiteral("Bad]Section"), QStringLiteral("Key"),
                            QStringLiteral("v")) ||
        ini.INIAddKeyString(QStringLiteral("Section"), QStringLiteral("Bad=Key"),
                            QStringLiteral("v")) ||
        fileBytes(path) != bytes)
        return QStringLiteral("a refused write changed the file");

    const QString section = freshSection(bytes);
    const QString value = QStringLiteral("added \u00e9 value");
    if (!ini.INIAddKeyString(section, QStringLiteral("AddedKey"), value))
        return QStringLiteral("writing a new section failed");
    // Existence tests look only at the first 1024 characters of the name lists.
    if (ini.INIKeyExist(section, QStringLiteral("AddedKey")) &&
        ini.INIGetString(section, QStringLiteral("AddedKey"), {}) != value)
        return QStringLiteral("the added key does not read back");
    if (valuesOf(ini, names) != before)
        return QStringLiteral("adding a section changed a value of the file");

    if (ini.INISectionExist(section) && !ini.INIDelSection(section))
        return QStringLiteral("the added section cannot be removed");
    if (valuesOf(ini, names) != before)
        return QStringLiteral("removing the added section changed a value of the file");
    return {};
}

}  // namespace voltaris::test
