#include "model/ModelCatalogue.h"

#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"

namespace voltaris {

ModelFeatures FeaturesOf(qint32 model) {
    ModelFeatures f;
    switch (ModuleType(model)) {
        case SerialModule:
            f.serialSettings = true;
            break;
        case AnalogVoltageModule:
        case AnalogCurrentModule:
            f.analogueModule = true;
            // The pages and the report know one or three outputs; another count shows none.
            f.analogOutputs = AnalogOutCount(model) == 3 ? 3 : AnalogOutCount(model) == 1 ? 1 : 0;
            break;
        case DigitalOutputModule:
            f.digitalOutputs = 2;
            break;
        case FieldBusModule:
            f.serialSettings = true;
            f.fieldBusAddress = true;
            f.digitalOutputs = 2;
            break;
        case SerialDigitalModule:
            f.serialSettings = true;
            f.digitalOutputs = 1;
            break;
        default:
            break;
    }
    return f;
}

std::optional<ModelEntry> ParseModelEntry(const QString& text, int resourceId) {
    if (text.isEmpty() || text == QStringLiteral("FE"))
        return std::nullopt;
    const auto malformed = [&] {
        return VoltarisError(
            QStringLiteral("Model catalogue entry %1 \"%2\" is not of the form name#&hXXXXXXXX")
                .arg(resourceId)
                .arg(text));
    };
    constexpr int Tail = 11;  // "#&h" + 8 hexadecimal digits
    if (text.size() <= Tail || text[text.size() - Tail] != u'#')
        throw malformed();
    const QStringView tail = QStringView(text).right(Tail - 1);
    if (tail[0] != u'&' || (tail[1] != u'h' && tail[1] != u'H'))
        throw malformed();
    const QStringView digits = tail.mid(2);
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            throw malformed();
    }
    bool ok = false;
    const quint32 id = digits.toUInt(&ok, 16);
    if (!ok)
        throw malformed();
    return ModelEntry{resourceId, text.left(text.size() - Tail), qint32(id)};
}

ModelCatalogue::ModelCatalogue(const TextSource& source) {
    for (int id = FirstResource; id <= LastResource; ++id) {
        if (auto entry = ParseModelEntry(source(id), id))
            m_entries.push_back(*entry);
    }
}

const ModelCatalogue& ModelCatalogue::standard() {
    static const ModelCatalogue catalogue([](int id) { return ResString(id); });
    return catalogue;
}

const ModelEntry* ModelCatalogue::lookup(qint32 model) const {
    for (const ModelEntry& e : m_entries) {
        if (e.id == model)
            return &e;
    }
    return nullptr;
}

const ModelEntry& ModelCatalogue::find(qint32 model) const {
    const ModelEntry* e = lookup(model);
    if (!e)
        g_Trace().BugAssert(false, QStringLiteral("Modello strumento fuori indice"));
    return *e;
}

const ModelEntry* ModelCatalogue::findByName(const QString& name) const {
    for (const ModelEntry& e : m_entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    }
    return nullptr;
}

QString ModelCatalogue::nameOf(qint32 model) const {
    if (const ModelEntry* e = lookup(model))
        return e->name;
    for (const ModelEntry& e : m_entries) {
        if (ReportedModel(e.id) == ReportedModel(model))
            return e.name;
    }
    return QStringLiteral("0x%1").arg(quint32(model), 8, 16, QLatin1Char('0'));
}

QString ModelName(qint32 model) {
    return ModelCatalogue::standard().nameOf(model);
}

}  // namespace voltaris
