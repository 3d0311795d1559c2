// What the automatic search shows on standard error, on a terminal and off it.
#include <gtest/gtest.h>

#include <QTextStream>

#include "cli/InstrumentSession.h"

using namespace voltaris;

namespace {

struct View {
    QString out, err, in;
    QTextStream outStream{&out}, errStream{&err}, inStream{&in};
    cli::Context ctx;
    cli::ProgressView view;
    explicit View(bool interactive)
        : ctx{outStream, errStream, inStream, interactive, {}}, view(ctx) {}
    // A search of 255..1 at 38400 baud, then 255..17 at 19200.
    void search() {
        view.setCaption(QStringLiteral("Searching"));
        for (int a = 255; a >= 1; --a)
            view.setSearch(38400, a);
        for (int a = 255; a >= 17; --a)
            view.setSearch(19200, a);
    }
};

}  // namespace

TEST(ProgressView, OffATerminalTheSearchIsOneLinePerSpeed) {
    View v(false);
    v.search();
    EXPECT_EQ(v.err, "Searching\nSearching at 38400 baud\nSearching at 19200 baud\n");
}

TEST(ProgressView, OnATerminalTheSearchShowsSpeedAndAddress) {
    View v(true);
    v.search();
    const qsizetype last = v.err.lastIndexOf(QStringLiteral("\033[K"));
    ASSERT_GE(last, 0);
    const QString screen = v.err.mid(last);
    EXPECT_TRUE(screen.contains("Searching\n")) << screen.toStdString();
    EXPECT_TRUE(screen.endsWith("19200 baud, address 17")) << screen.toStdString();
    v.view.clear();
    EXPECT_TRUE(v.err.endsWith("\r\033[K\033[1A\r\033[K"));
}
