#include "wizard/PagePlacement.h"

#include <algorithm>

namespace voltaris::wizard {

namespace {

// The start of a span of `length` moved inside [low, low + room); a span longer than the room
// starts at `low`, so its beginning (a page's title bar, its left edge) stays reachable.
int Inside(int start, int length, int low, int room) {
    return std::max(low, std::min(start, low + room - length));
}

}  // namespace

QPoint PagePlacement::Place(const QRect& screen, const QSize& page) {
    int x, y;
    if (left == -1) {
        x = screen.x() + (screen.width() - page.width()) / 2;
        y = screen.y() + (screen.height() - page.height()) / 2;
        left = x;
        bottom = y + page.height();
    } else {
        x = left;
        y = bottom - page.height();
    }
    return {Inside(x, page.width(), screen.x(), screen.width()),
            Inside(y, page.height(), screen.y(), screen.height())};
}

}  // namespace voltaris::wizard
