// What the start-up checks on this platform.
#include <gtest/gtest.h>

#include "app/Startup.h"

using namespace voltaris;

TEST(Components, SqliteDriverIsFoundHere) {
    const QList<ComponentProbe> probes = PlatformComponents();
    ASSERT_FALSE(probes.isEmpty());
    EXPECT_TRUE(probes.front().description.contains("SQLite"));
    EXPECT_TRUE(probes.front().available());
}
