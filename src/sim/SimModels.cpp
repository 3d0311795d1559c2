#include "sim/SimModels.h"

#include "base/Errors.h"
#include "base/ResString.h"

namespace voltaris {

namespace {

constexpr int kFirstEntry = 900;
constexpr int kLastEntry = 959;
constexpr qsizetype kTailLength = 11;  // "#&h" + 8 hexadecimal digits

std::optional<SimModel> parseEntry(const QString& entry) {
    if (entry == QLatin1String("FE") || entry.size() <= kTailLength)
        return std::nullopt;
    const QString tail = entry.right(kTailLength);
    if (!tail.startsWith(QLatin1String("#&h"), Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const quint32 id = tail.mid(3).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return SimModel{entry.left(entry.size() - kTailLength), id};
}

}  // namespace

const QList<SimModel>& SimModelCatalogue() {
    static const QList<SimModel> models = [] {
        QList<SimModel> list;
        for (int id = kFirstEntry; id <= kLastEntry; ++id) {
            if (auto m = parseEntry(ResString(id)))
                list.append(*m);
        }
        return list;
    }();
    return models;
}

quint32 ResolveSimModel(const QString& text) {
    const QString t = text.trimmed();
    for (const SimModel& m : SimModelCatalogue()) {
        if (m.name.compare(t, Qt::CaseInsensitive) == 0)
            return m.identifier;
    }
    bool ok = false;
    quint32 id = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("&h"), Qt::CaseInsensitive))
        id = t.mid(2).toUInt(&ok, 16);
    else
        id = t.toUInt(&ok, 10);
    if (!ok || t.isEmpty())
        throw VoltarisError(
            QStringLiteral("Unknown instrument model \"%1\": give a catalogue name such as "
                           "KM6.1.x.R2.KX or an identifier such as 0x00240004")
                .arg(text));
    return id;
}

QString SimModelName(quint32 identifier) {
    for (const SimModel& m : SimModelCatalogue()) {
        if ((m.identifier & 0x00FFFFFFu) == (identifier & 0x00FFFFFFu))
            return m.name;
    }
    return {};
}

}  // namespace voltaris
