#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/Cli.h"

namespace voltaris::test {

// What one run of the command-line program gave: its two streams and exit status.
struct CliRun {
    QString out, err;
    int status = -1;
};

// Runs the command line in this process, not interactive, with `input` on standard input.
inline CliRun RunCli(const QStringList& args, const QString& input = {}) {
    CliRun r;
    QString in = input;
    QTextStream out(&r.out), err(&r.err), inStream(&in);
    cli::Context ctx{out, err, inStream, false, VOLTARIS_BIN_DIR};
    r.status = cli::run(args, ctx);
    return r;
}

// The same with the data folder `home`.
inline CliRun RunCliIn(const QString& home, const QStringList& args) {
    return RunCli(QStringList{"--home", home} + args);
}

}  // namespace voltaris::test
