#include "variables/VariableCatalogue.h"

#include "base/Errors.h"
#include "base/ResString.h"

namespace voltaris {

namespace {

constexpr qsizetype kTailLength = 11;  // "#&h" + 8 hexadecimal digits

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

bool VariableEntry::existsInSystem(int system) const {
    if (system < 0 || system > 7)
        return false;
    return (systemMask() >> system) & 1u;
}

VariableEntry ParseVariableEntry(const QString& entry) {
    const auto malformed = [&entry]() {
        return VoltarisError(
            QStringLiteral("Malformed variable catalogue entry \"%1\": expected name#&hXXXXXXXX")
                .arg(entry));
    };
    if (entry.size() < kTailLength)
        throw malformed();
    const QString tail = entry.right(kTailLength);
    if (tail.at(0) != u'#' || tail.at(1) != u'&' || tail.at(2).toLower() != u'h')
        throw malformed();
    const QString digits = tail.mid(3);
    for (QChar c : digits) {
        if (!isHexDigit(c))
            throw malformed();
    }
    VariableEntry e;
    e.name = entry.left(entry.size() - kTailLength);
    e.value = digits.toUInt(nullptr, 16);
    return e;
}

VariableCatalogue::VariableCatalogue(const TextSource& source) {
    m_entries.reserve(VariableCount);
    for (int code = 0; code < VariableCount; ++code) {
        const int id = FirstResource + code;
        const QString text = source(id);
        if (text.isEmpty())
            throw VoltarisError(
                QStringLiteral("Variable catalogue entry %1 is missing from the string table")
                    .arg(id));
        try {
            m_entries.append(ParseVariableEntry(text));
        } catch (const VoltarisError& e) {
            throw VoltarisError(QStringLiteral("String %1: %2").arg(id).arg(e.message()));
        }
    }
}

const VariableCatalogue& VariableCatalogue::standard() {
    static const VariableCatalogue catalogue([](int id) { return ResString(id); });
    return catalogue;
}

const VariableEntry& VariableCatalogue::entry(int code) const {
    if (code < 0 || code >= m_entries.size())
        throw IndexError(
            QStringLiteral("Variable code %1 is outside 0..%2").arg(code).arg(VariableCount - 1));
    return m_entries.at(code);
}

QList<VariableEntry> VariableCatalogue::variablesForSystem(int system) const {
    QList<VariableEntry> list;
    for (int code = 0; code < ControllableCount; ++code) {
        if (m_entries.at(code).existsInSystem(system))
            list.append(m_entries.at(code));
    }
    return list;
}

}  // namespace voltaris
