#include "model/COption.h"

namespace voltaris {

COption::COption() : CSettingsRecord(QStringLiteral("COption")) {}

const RecordLayout& COption::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = COption;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("PrintHeaderPage"), &R::m_PrintHeaderPage, true,
                          QStringLiteral("m_bPrintHeaderPage")),
            plainProperty(QStringLiteral("HeaderPagePath"), &R::m_HeaderPagePath),
            plainProperty(QStringLiteral("PrintNotePiePagina"), &R::m_PrintNotePiePagina, true,
                          QStringLiteral("m_bPrintNotePiePagina")),
            plainProperty(QStringLiteral("NotePiePagina1"), &R::m_NotePiePagina1),
            plainProperty(QStringLiteral("NotePiePagina2"), &R::m_NotePiePagina2),
            plainProperty(QStringLiteral("PrintPageNumber"), &R::m_PrintPageNumber, true,
                          QStringLiteral("m_bPrintPageNumber")),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
