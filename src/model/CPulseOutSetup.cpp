#include "model/CPulseOutSetup.h"

namespace voltaris {

CPulseOutSetup::CPulseOutSetup() : CArchiveRecord(QStringLiteral("CPulseOutSetup")) {}

const RecordLayout& CPulseOutSetup::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CPulseOutSetup;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("SelectCounter"), &R::m_SelectCounter),
            plainProperty(QStringLiteral("PulseOut"), &R::m_PulseOut),
            plainProperty(QStringLiteral("PulseOutStatus"), &R::m_PulseOutStatus),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
