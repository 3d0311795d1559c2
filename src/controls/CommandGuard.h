#pragma once

#include <QWidget>
#include <functional>

namespace voltaris::controls {

// Runs one command of a window (a menu item, a toolbar or dialog button, a timer slot that
// calls engine code) and keeps the program running whatever it throws: the failure goes to
// the trace log naming `parent`, a busy pointer the command left on is taken off, and the
// user sees one error box through UserMessages::current() (none for a failed check, which
// has shown its own). True when the command ended normally.
bool RunCommand(QWidget* parent, const std::function<void()>& command);

}  // namespace voltaris::controls
