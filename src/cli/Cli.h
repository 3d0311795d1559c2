#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QtGlobal>
#include <functional>
#include <memory>

#include "base/UserMessages.h"

namespace voltaris::cli {

// Exit statuses of the command-line program.
enum ExitStatus { kDone = 0, kFailed = 1, kBadUsage = 2, kCancelled = 3 };

// What a command needs from the outside world; injectable so tests drive commands with
// in-memory streams.
struct Context {
    QTextStream& out;
    QTextStream& err;
    QTextStream& in;
    bool interactive = false;  // standard input and error are a terminal
    QString executableDir;     // where the program and its template live
};

// Parsed command line: global options first, then the command and its own arguments.
struct Invocation {
    QString home;          // --home DIR
    QStringList switches;  // trace switches as given ("/DEBUG", "/DEBUG_ALL")
    QString command;
    QStringList args;
    bool help = false;  // --help before the command, or among its arguments
    bool version = false;
};

// Splits global options from the command. Throws UsageError on a malformed line.
Invocation parseInvocation(const QStringList& arguments);

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& m) : std::runtime_error(m.toStdString()), message(m) {}
    QString message;
};

// Options of one command: flags (--yes), options with a value (--count N), positionals.
class ArgList {
public:
    ArgList(const QStringList& args, const QStringList& flags, const QStringList& valued);
    bool flag(const QString& name) const { return m_flags.contains(name); }
    QString value(const QString& name, const QString& def = {}) const {
        return m_values.value(name, def);
    }
    bool has(const QString& name) const { return m_values.contains(name); }
    const QStringList& positional() const { return m_positional; }
    // The positional at `i`, or UsageError naming `what` when it is missing.
    QString require(int i, const QString& what) const;
    // Positional `i` as an integer id, or UsageError.
    qint32 requireId(int i) const;
    void expectPositionals(int count) const;

private:
    QStringList m_flags;
    QHash<QString, QString> m_values;
    QStringList m_positional;
};

// Prints messages to standard error; questions are asked on a terminal and answered No
// otherwise (commands that need a Yes in batch use take --yes).
class CliMessages : public UserMessages {
public:
    explicit CliMessages(Context& ctx) : m_ctx(ctx) {}
    void show(Icon icon, const QString& title, const QString& text) override;
    Answer askYesNo(Icon icon, const QString& title, const QString& text) override;

private:
    Context& m_ctx;
};

// Sends Qt's own diagnostics (the platform's, the painter's) to the trace log instead of
// standard error; returns the handler it replaced.
QtMessageHandler RouteQtMessagesToTrace();

// Turns a text with the program's LF CR line breaks into terminal lines.
QString plainText(const QString& text);

// The whole program: parses, starts up and runs one command. Returns the exit status.
int run(const QStringList& arguments, Context& ctx);

}  // namespace voltaris::cli
