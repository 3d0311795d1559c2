#include <gtest/gtest.h>

#include <QList>

#include "wizard/PagePlacement.h"

using voltaris::wizard::PagePlacement;

namespace {

// Pages shown in turn on one screen -> where each goes.
TEST(PagePlacement, FirstCentredThenSameLeftAndBottom) {
    const QRect screen(0, 0, 1000, 800);
    const struct {
        const char* what;
        QList<QSize> pages;
        QList<QPoint> expected;
    } cases[] = {
        {"same sizes stay put", {{400, 300}, {400, 300}}, {{300, 250}, {300, 250}}},
        {"a taller page grows upward from the bottom line",
         {{400, 300}, {400, 500}, {400, 200}},
         {{300, 250}, {300, 50}, {300, 350}}},
        {"odd differences round down", {{401, 301}}, {{299, 249}}},
        {"a wider page keeps the left edge", {{400, 300}, {600, 300}}, {{300, 250}, {300, 250}}},
        {"a page taller than the room above is moved down into the screen",
         {{400, 300}, {400, 700}},
         {{300, 250}, {300, 0}}},
        {"a page too wide for the room to the right is moved left",
         {{400, 300}, {900, 300}},
         {{300, 250}, {100, 250}}},
        {"a page larger than the screen starts at its corner", {{1200, 900}}, {{0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PagePlacement placement;
        for (qsizetype i = 0; i < c.pages.size(); ++i)
            EXPECT_EQ(placement.Place(screen, c.pages[i]), c.expected[i]) << i;
    }
}

TEST(PagePlacement, FollowsTheScreensOriginAndForgets) {
    PagePlacement placement;
    const QRect screen(1920, 40, 1000, 760);  // a second screen below a top panel
    EXPECT_EQ(placement.Place(screen, {400, 300}), QPoint(2220, 270));
    EXPECT_EQ(placement.Place(screen, {400, 400}), QPoint(2220, 170));
    placement.Forget();
    EXPECT_EQ(placement.Place(QRect(0, 0, 800, 600), {400, 300}), QPoint(200, 150));
}

}  // namespace
