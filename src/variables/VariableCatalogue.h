#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace voltaris {

// One entry of the variable catalogue, "name#&hXXXXXXXX". The 32-bit value holds the code
// in bits 0..7, the word offset in the measurement block in bits 8..15 and the wiring-system
// mask in bits 16..23 (bit k set: the variable exists in system k).
struct VariableEntry {
    QString name;
    quint32 value = 0;

    qint16 code() const { return static_cast<qint16>(value & 0xFFu); }
    int wordOffset() const { return static_cast<int>((value >> 8) & 0xFFu); }
    quint8 systemMask() const { return static_cast<quint8>((value >> 16) & 0xFFu); }
    // False for a system outside 0..7.
    bool existsInSystem(int system) const;
};

// Splits an entry: the name is all but the last 11 characters, the value the 8 hexadecimal
// digits after "&h" in the last 10. Throws VoltarisError when the entry is not of that form.
VariableEntry ParseVariableEntry(const QString& entry);

// The 61 catalogue entries, string resources 2100 + code.
class VariableCatalogue {
public:
    static constexpr int FirstResource = 2100;
    static constexpr int VariableCount = 61;
    // Codes 0..42 can be watched by an alarm and repeated by an analogue output.
    static constexpr int ControllableCount = 43;

    using TextSource = std::function<QString(int id)>;

    // Reads and parses resources 2100..2160 from `source`; throws VoltarisError naming the
    // resource when one is missing or malformed.
    explicit VariableCatalogue(const TextSource& source);

    // The catalogue of the program's string table, parsed on first use.
    static const VariableCatalogue& standard();

    // Throws IndexError for a code outside 0..60.
    const VariableEntry& entry(int code) const;
    QString name(int code) const { return entry(code).name; }
    quint8 systemMask(int code) const { return entry(code).systemMask(); }

    // The controllable variables (codes 0..42) that exist in wiring system `system`, in
    // catalogue order; empty for a system outside 0..7.
    QList<VariableEntry> variablesForSystem(int system) const;

private:
    QList<VariableEntry> m_entries;
};

}  // namespace voltaris
