#include <unistd.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "cli/Cli.h"
#include "cli/ReportCommand.h"

int main(int argc, char** argv) {
    voltaris::cli::RouteQtMessagesToTrace();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Only a command that draws pages needs the graphical platform.
    std::unique_ptr<QCoreApplication> app;
    if (voltaris::cli::NeedsGuiApplication(arguments)) {
        voltaris::cli::PrepareGuiPlatform();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout), err(stderr), in(stdin);
    voltaris::cli::Context ctx{out, err, in, isatty(STDIN_FILENO) && isatty(STDERR_FILENO),
                               QCoreApplication::applicationDirPath()};
    return voltaris::cli::run(app->arguments().mid(1), ctx);
}
