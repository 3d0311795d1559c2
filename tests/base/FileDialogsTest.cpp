#include <gtest/gtest.h>

#include "base/FileDialogs.h"

using namespace voltaris;

TEST(FileDialogs, WithoutDialogsEveryRequestIsCancelled) {
    EXPECT_TRUE(
        FileDialogs::current().openFileName("Import", "/tmp", "File ZEL (*.ZLA)|*.ZLA").isEmpty());
    EXPECT_TRUE(FileDialogs::current().saveFileName("Export", "/tmp/a.ZLA", "").isEmpty());
}

TEST(FileDialogs, RecordingAnswersInOrderAndKeepsTheRequests) {
    RecordingFileDialogs dialogs;
    dialogs.enqueue("/data/in.ZLA");
    dialogs.enqueue("");  // the user cancels the second dialog
    dialogs.enqueue("/data/out.ZLA");
    {
        ScopedFileDialogs scope(&dialogs);
        FileDialogs& d = FileDialogs::current();
        EXPECT_EQ(d.openFileName("Import", "/data/*.ZLA", "F|*.ZLA"), "/data/in.ZLA");
        EXPECT_EQ(d.saveFileName("Export", "/data/Line A.ZLA", "F|*.ZLA"), "");
        EXPECT_EQ(d.saveFileName("Export", "/data/Line B.ZLA", "F|*.ZLA"), "/data/out.ZLA");
        // Nothing left to answer: cancelled.
        EXPECT_EQ(d.openFileName("Import", "/data", "F|*.ZLA"), "");
    }
    EXPECT_NE(&FileDialogs::current(), &dialogs) << "the scope puts the previous dialogs back";

    using Kind = RecordingFileDialogs::Kind;
    const auto& r = dialogs.requests();
    ASSERT_EQ(r.size(), 4);
    EXPECT_EQ(r[0].kind, Kind::Open);
    EXPECT_EQ(r[0].title, "Import");
    EXPECT_EQ(r[0].path, "/data/*.ZLA");
    EXPECT_EQ(r[0].filter, "F|*.ZLA");
    EXPECT_EQ(r[1].kind, Kind::Save);
    EXPECT_EQ(r[1].path, "/data/Line A.ZLA");
    EXPECT_EQ(r[2].path, "/data/Line B.ZLA");
    EXPECT_EQ(r[3].kind, Kind::Open);
    EXPECT_TRUE(dialogs.pending().isEmpty());
}
