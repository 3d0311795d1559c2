#include "model/CSerialComm.h"

namespace voltaris {

CSerialComm::CSerialComm() : CArchiveRecord(QStringLiteral("CSerialComm"), false) {}

const RecordLayout& CSerialComm::StaticLayout() {
    static const RecordLayout layout = [] {
        using R = CSerialComm;
        RecordLayout l;
        l.properties = {
            plainProperty(QStringLiteral("NetworkAdd"), &R::m_NetworkAdd),
            plainProperty(QStringLiteral("BaudRate"), &R::m_BaudRate),
        };
        appendFieldsByProperty(l);
        return l;
    }();
    return layout;
}

}  // namespace voltaris
