#pragma once

#include "model/CRecord.h"

namespace voltaris {

// Instrument usage settings: the first record of every configuration (table "CUsoInstr").
// Ranges are those the usage page enforces; the record accepts any value of its type.
class CUsoInstr : public CArchiveRecord {
public:
    CUsoInstr();

    static const RecordLayout& StaticLayout();
    const RecordLayout& Layout() const override { return StaticLayout(); }

    // Configuration name; "No name" (resource 639) when created.
    QString NomeProgramma() const { return m_NomeProgramma; }
    void setNomeProgramma(const QString& v) { m_NomeProgramma = v; }
    // Model identifier (see ModelCatalogue.h); 0 when created, which no model has.
    qint32 InstrModel() const { return m_InstrModel; }
    void setInstrModel(qint32 v) { m_InstrModel = v; }
    // Digital filter operating range, percent 0..100.
    qint16 FilterScale() const { return m_FilterScale; }
    void setFilterScale(qint16 v) { m_FilterScale = v; }
    // Integration time of the thermal current, minutes 1..30.
    qint16 IntTimeCorr() const { return m_IntTimeCorr; }
    void setIntTimeCorr(qint16 v) { m_IntTimeCorr = v; }
    // Digital filter coefficient 1..32.
    qint16 FilterCoeff() const { return m_FilterCoeff; }
    void setFilterCoeff(qint16 v) { m_FilterCoeff = v; }
    // VT ratio in tenths (10 = 1.0), 10..60000.
    qint32 RapportoTV() const { return m_RapportoTV; }
    void setRapportoTV(qint32 v) { m_RapportoTV = v; }
    // CT ratio 1..60000.
    qint32 RapportoTA() const { return m_RapportoTA; }
    void setRapportoTA(qint32 v) { m_RapportoTA = v; }
    // Wiring system 0..4.
    qint16 System() const { return m_System; }
    void setSystem(qint16 v) { m_System = v; }
    // Integration time of the demand power, minutes 1..30.
    qint16 IntTimePot() const { return m_IntTimePot; }
    void setIntTimePot(qint16 v) { m_IntTimePot = v; }
    // Field-bus address 1..255, used by models of type code 5 only.
    qint16 NetworkAddVexbus() const { return m_NetworkAddVexbus; }
    void setNetworkAddVexbus(qint16 v) { m_NetworkAddVexbus = v; }

private:
    QString m_NomeProgramma;
    qint32 m_InstrModel = 0;
    qint16 m_FilterScale = 1;
    qint16 m_IntTimeCorr = 15;
    qint16 m_FilterCoeff = 1;
    qint32 m_RapportoTV = 10;
    qint32 m_RapportoTA = 1;
    qint16 m_System = 0;
    qint16 m_IntTimePot = 15;
    qint16 m_NetworkAddVexbus = 1;
};

}  // namespace voltaris
