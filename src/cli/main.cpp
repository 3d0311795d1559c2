#include <unistd.h>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr), in(stdin);
    voltaris::cli::Context ctx{out, err, in, isatty(STDIN_FILENO) && isatty(STDERR_FILENO),
                               QCoreApplication::applicationDirPath()};
    return voltaris::cli::run(app.arguments().mid(1), ctx);
}
