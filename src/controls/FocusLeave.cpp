#include "controls/FocusLeave.h"

#include <QApplication>

namespace voltaris::controls {

void WatchFocusLeave(QObject* context, std::function<bool(const QWidget*)> inside,
                     std::function<void(QWidget* from, QWidget* to)> leaving) {
    QObject::connect(
        qApp, &QApplication::focusChanged, context,
        [inside = std::move(inside), leaving = std::move(leaving)](QWidget* from, QWidget* to) {
            if (from && to && inside(from) && !inside(to))
                leaving(from, to);
        });
}

}  // namespace voltaris::controls
