#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "cli/Cli.h"

namespace voltaris {
class Archive;
}

namespace voltaris::cli {

// What a command runs with once the program has started: the streams and the archive.
struct Session {
    Context& ctx;
    Archive& archive;
};

// What a command does with a stored configuration. Id 2 holds the instrument's
// configuration after a read: it may be shown, edited, exported, printed and sent, but the
// archive keeps it, so it cannot be deleted.
enum class Purpose { Use, Delete };

// True when configuration `id` exists for `purpose`; else prints "There is no
// configuration with ID n." on standard error and returns false (exit status kFailed).
bool requireConfiguration(Session& s, qint32 id, Purpose purpose);
// Asks `question` (under `title`) on a terminal unless `yes` (--yes) was given. Returns the exit
// status to end `command` with (cancelled, or bad usage off a terminal), 0 to go on.
int confirmOrStatus(Session& s, bool yes, const QString& command, const QString& title,
                    const QString& question);

// One subcommand of `voltaris`. `run` returns an exit status; errors it throws are
// reported by the caller (VoltarisError: message and status 1).
struct Command {
    QString name;
    QString usage;    // arguments after the name, as shown by --help
    QString summary;  // one line for --help
    std::function<int(Session&, const QStringList& args)> run;
};

// Every command, in the order --help lists them.
const QList<Command>& commands();

// One line of help: an option as written and what it does.
struct OptionHelp {
    QString option;
    QString text;
};

// The options of the command `name` for `voltaris COMMAND --help`, LINK options left out.
QList<OptionHelp> commandOptions(const QString& name);
// The LINK options of the instrument commands (LinkOptions).
const QList<OptionHelp>& linkOptionHelp();

// One factory per command source file.
Command listCommand();
Command showCommand();
Command createCommand();
Command updateCommand();
Command deleteCommand();
Command exportCommand();
Command importCommand();
Command liveCommand();

}  // namespace voltaris::cli
