#include "controls/ProgramErrors.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "base/ResString.h"

namespace voltaris::controls {

namespace {
constexpr int kInvalidHandleText = 2912;
constexpr int kInvalidDataText = 2913;
}  // namespace

QString ProgramErrorSource(const QString& area) {
    QString name;
    if (QCoreApplication::instance())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("VoltarisEng");
    return name + u'.' + area;
}

ProgramError PlatformError(PlatformCode code) {
    const int text = code == kInvalidHandle ? kInvalidHandleText : kInvalidDataText;
    return ProgramError(ProgramError::kObjectErrorBase + 29000 + code,
                        ProgramErrorSource(QStringLiteral("Windows")), ResString(text));
}

}  // namespace voltaris::controls
