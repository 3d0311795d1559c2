#pragma once

#include <QtGlobal>

namespace voltaris {

// How CWirrel paces its work tick. Classic: only on the 200 ms tick (two ticks per
// exchange). Fast: also at once whenever there is something to evaluate or a reply to take.
// Adaptive: fast until the first timeout or damaged reply of the operation, classic after.
enum class LinkMode : quint8 { Adaptive, Fast, Classic };

}  // namespace voltaris
