#pragma once

#include <QString>

#include "base/Errors.h"

namespace voltaris::controls {

// Codes of the refused platform calls the window services report.
enum PlatformCode : qint32 { kInvalidHandle = 6, kInvalidData = 13 };

// The source of an error of the shared routines: the executable's name + "." + area.
QString ProgramErrorSource(const QString& area);

// A refused platform call: kObjectErrorBase + 29000 + code, area "Windows", the code's text.
ProgramError PlatformError(PlatformCode code);

}  // namespace voltaris::controls
