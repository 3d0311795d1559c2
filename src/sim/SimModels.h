#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace voltaris {

// A catalogue model as the simulator needs it: its name and identifier (string
// resources 900..959, "name#&hXXXXXXXX"; "FE" marks an empty entry).
struct SimModel {
    QString name;
    quint32 identifier = 0;
};

// The catalogued models in resource order.
const QList<SimModel>& SimModelCatalogue();

// A model given by catalogue name (case-insensitive) or by identifier ("0x00240004",
// "&h00240004" or decimal). Throws VoltarisError naming the text when it is neither.
quint32 ResolveSimModel(const QString& text);

// Catalogue name of an identifier compared on its low three bytes (the instrument reports
// no variant byte); empty when none matches.
QString SimModelName(quint32 identifier);

// Module type code (byte 0) and what it equips the instrument with.
inline quint8 SimModuleType(quint32 model) {
    return static_cast<quint8>(model & 0xFFu);
}
inline bool SimHasSerialModule(quint32 model) {
    const quint8 t = SimModuleType(model);
    return t == 1 || t == 5 || t == 16;
}
inline bool SimHasDigitalOutputs(quint32 model) {
    const quint8 t = SimModuleType(model);
    return t == 4 || t == 5 || t == 16;
}
inline bool SimHasAnalogOutputs(quint32 model) {
    const quint8 t = SimModuleType(model);
    return t == 2 || t == 3;
}
// Base instruments 0x23 and 0x21 measure the higher voltage class.
inline bool SimHighVoltageClass(quint32 model) {
    const quint32 base = (model >> 16) & 0xFFu;
    return base == 0x23 || base == 0x21;
}

}  // namespace voltaris
