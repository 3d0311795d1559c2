#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace voltaris {

// Model identifier helpers. Byte 0 is the module type code, byte 1 the number of analogue
// outputs, byte 2 the base instrument, byte 3 the catalogue variant (not reported by the
// instrument).
constexpr quint8 ModuleType(qint32 model) {
    return quint8(quint32(model) & 0xFFu);
}
constexpr quint8 AnalogOutCount(qint32 model) {
    return quint8((quint32(model) >> 8) & 0xFFu);
}
constexpr quint8 BaseInstrument(qint32 model) {
    return quint8((quint32(model) >> 16) & 0xFFu);
}
constexpr quint8 ModelVariant(qint32 model) {
    return quint8((quint32(model) >> 24) & 0xFFu);
}
// The part of the identifier an instrument reports (bytes 0..2).
constexpr qint32 ReportedModel(qint32 model) {
    return model & 0x00FFFFFF;
}
// Base instruments 0x23 (KM5.1) and 0x21 (KM5.3) measure in the higher voltage class.
constexpr bool HigherVoltageClass(qint32 model) {
    return BaseInstrument(model) == 0x23 || BaseInstrument(model) == 0x21;
}

enum ModuleTypeCode : quint8 {
    SerialModule = 1,
    AnalogVoltageModule = 2,
    AnalogCurrentModule = 3,
    DigitalOutputModule = 4,
    FieldBusModule = 5,
    SerialDigitalModule = 16,
};

// What a model's module offers, by its type code: which records of a configuration are
// used, which wizard pages are shown, which memory map blocks are written and read back.
struct ModelFeatures {
    bool serialSettings = false;   // CSerialComm: network address and baud rate words
    bool fieldBusAddress = false;  // NetworkAddVexbus of CUsoInstr
    int digitalOutputs = 0;        // 0, 1 (output 1) or 2 (outputs 1 and 2)
    bool analogueModule = false;   // the analogue output block exists (even when byte 1 is 0)
    int analogOutputs = 0;         // 1 or 3 when byte 1 says so on an analogue module, else 0
    // Pulses and alarms are possible on every digital output.
    bool pulsesAndAlarms() const { return digitalOutputs > 0; }
    // The outputs share the 16 alarm blocks of the memory map.
    int alarmBlocks() const { return pulsesAndAlarms() ? 16 : 0; }
};
ModelFeatures FeaturesOf(qint32 model);

// Named questions over FeaturesOf, for the callers that need one answer.
inline bool HasNetworkAddress(qint32 model) {
    return FeaturesOf(model).serialSettings;
}
inline bool HasFieldBusAddress(qint32 model) {
    return FeaturesOf(model).fieldBusAddress;
}
// Digital outputs, and with them the alarm, pulse and output blocks.
inline bool HasAlarmBlocks(qint32 model) {
    return FeaturesOf(model).pulsesAndAlarms();
}
inline int DigitalOutputCount(qint32 model) {
    return FeaturesOf(model).digitalOutputs;
}
inline int AlarmBlockCount(qint32 model) {
    return FeaturesOf(model).alarmBlocks();
}
// The analogue output block of the memory map exists.
inline bool HasAnalogOutputs(qint32 model) {
    return FeaturesOf(model).analogueModule;
}
inline int AnalogOutputCount(qint32 model) {
    return FeaturesOf(model).analogOutputs;
}

// One model of the catalogue.
struct ModelEntry {
    int resourceId = 0;
    QString name;  // "KM5.1.x.A3.KX"
    qint32 id = 0;
    bool operator==(const ModelEntry&) const = default;
};

// Parses a catalogue entry "name#&hXXXXXXXX": the name is the text without its last 11
// characters, the identifier the eight hexadecimal digits after "&h" (either case).
// nullopt for an empty entry ("FE" or no text); throws VoltarisError for any other form.
std::optional<ModelEntry> ParseModelEntry(const QString& text, int resourceId = 0);

// The models the program knows: string resources 900..959, empty entries skipped.
class ModelCatalogue {
public:
    static constexpr int FirstResource = 900;
    static constexpr int LastResource = 959;

    using TextSource = std::function<QString(int id)>;

    // Reads resources 900..959 from `source`; throws VoltarisError naming a malformed one.
    explicit ModelCatalogue(const TextSource& source);
    // The catalogue of the program's string table, parsed on first use.
    static const ModelCatalogue& standard();

    // In resource order.
    const QList<ModelEntry>& entries() const { return m_entries; }
    // The first entry whose identifier equals `model` in all 32 bits; a failed check
    // "Modello strumento fuori indice" (AssertFailed) when there is none.
    const ModelEntry& find(qint32 model) const;
    // Like find() without the failed check: nullptr when not catalogued.
    const ModelEntry* lookup(qint32 model) const;
    // The entry of that name, ignoring letter case; nullptr when unknown.
    const ModelEntry* findByName(const QString& name) const;
    // The name to show for an identifier: the exact entry, else the first entry equal on
    // the low three bytes (an instrument reports no variant byte), else "0x%08x".
    QString nameOf(qint32 model) const;

private:
    QList<ModelEntry> m_entries;
};

// ModelCatalogue::standard().nameOf(model).
QString ModelName(qint32 model);

}  // namespace voltaris
