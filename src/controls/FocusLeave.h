#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

namespace voltaris::controls {

// Calls `leaving(from, to)` when the focus moves from a widget `inside` accepts to a widget
// it does not, for as long as `context` lives. Losing the focus to no widget (the window is
// left) is not leaving: the focus comes back to the same widget.
void WatchFocusLeave(QObject* context, std::function<bool(const QWidget*)> inside,
                     std::function<void(QWidget* from, QWidget* to)> leaving);

}  // namespace voltaris::controls
