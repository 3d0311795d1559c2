#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace voltaris::wizard {

// Where the pages of one wizard go: the first is centred on the screen, every later one keeps
// its left edge and its bottom edge, so pages of different heights grow upward and the button
// bar stays where it was. A page that would stand partly off the screen is moved into it.
struct PagePlacement {
    int left = -1;    // left edge of the first page shown; -1 none shown yet
    int bottom = -1;  // its bottom edge (top + height)

    void Forget() { left = bottom = -1; }
    // The top-left corner of a page of `page` size on `screen` (its usable area).
    QPoint Place(const QRect& screen, const QSize& page);
};

}  // namespace voltaris::wizard
