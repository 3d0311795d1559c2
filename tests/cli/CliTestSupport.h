#pragma once

#include <QProcess>
#include <QProcessEnvironment>
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

// Runs the `voltaris` program itself in data folder `home` with settings file `settings`, with
// no display and no platform chosen: it sets up its graphical platform as installers run it.
inline CliRun RunProgram(const QString& home, const QString& settings, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VOLTARIS_SETTINGS", settings);
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VOLTARIS_BIN_DIR "/voltaris"), QStringList{"--home", home} + args);
    CliRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    r.status = p.exitCode();
    return r;
}

}  // namespace voltaris::test
