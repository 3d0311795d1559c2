#include "model/CUsoInstr.h"

#include "base/ResString.h"

namespace voltaris {

CUsoInstr::CUsoInstr()
    : CArchiveRecord(QStringLiteral("CUsoInstr")), m_NomeProgramma(ResString(639)) {}

const RecordLayout& CUsoInstr::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CUsoInstr;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("NomeProgramma"), &R::m_NomeProgramma),
            plainProperty(QStringLiteral("InstrModel"), &R::m_InstrModel),
            plainProperty(QStringLiteral("FilterScale"), &R::m_FilterScale),
            plainProperty(QStringLiteral("IntTimeCorr"), &R::m_IntTimeCorr),
            plainProperty(QStringLiteral("FilterCoeff"), &R::m_FilterCoeff),
            plainProperty(QStringLiteral("RapportoTV"), &R::m_RapportoTV),
            plainProperty(QStringLiteral("RapportoTA"), &R::m_RapportoTA),
            plainProperty(QStringLiteral("System"), &R::m_System),
            plainProperty(QStringLiteral("IntTimePot"), &R::m_IntTimePot),
            plainProperty(QStringLiteral("NetworkAddVexbus"), &R::m_NetworkAddVexbus),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
