#include "app/Startup.h"
#include "archive/Archive.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "cli/Command.h"

namespace voltaris::cli {

namespace {

// One entry per option: the option, then its text wrapped at 79 columns; a long option
// takes a line of its own.
void printOptions(QTextStream& out, const QList<OptionHelp>& options) {
    constexpr int indent = 34;
    for (const OptionHelp& o : options) {
        QString line = QStringLiteral("  ") + o.option;
        if (line.size() >= indent) {
            out << line << '\n';
            line.clear();
        }
        line = line.leftJustified(indent - 1);
        for (const QString& word : o.text.split(u' ')) {
            if (line.size() > indent && line.size() + 1 + word.size() > 79) {
                out << line << '\n';
                line = QString(indent - 1, u' ');
            }
            line += u' ' + word;
        }
        out << line << '\n';
    }
}

void printLinkHelp(QTextStream& out) {
    out << "\nLINK options (what is not given comes from the settings store):\n";
    printOptions(out, linkOptionHelp());
}

void printCommandHelp(QTextStream& out, const Command& c) {
    out << "Usage: voltaris [--home DIR] " << c.name << ' ' << c.usage << "\n\n"
        << c.summary << '\n';
    const QList<OptionHelp> options = commandOptions(c.name);
    if (!options.isEmpty()) {
        out << "\nOptions:\n";
        printOptions(out, options);
    }
    if (c.usage.contains(QLatin1String("LINK")))
        printLinkHelp(out);
}

void printHelp(QTextStream& out) {
    out << ProgramTitle() << "\n\n"
        << "Usage: voltaris [--home DIR] [/DEBUG | /DEBUG_ALL] COMMAND ...\n\n"
        << "Commands:\n";
    for (const Command& c : commands()) {
        const QString head = c.name + QLatin1Char(' ') + c.usage;
        out << "  " << head.leftJustified(34) << ' ' << c.summary << '\n';
    }
    out << "\nOptions:\n"
        << "  --home DIR                         data folder (archive, trace log); default\n"
        << "                                     $VOLTARIS_HOME, the program's folder when\n"
        << "                                     writable, else ~/.local/share/Voltaris\n"
        << "  --help, --version                  this help (COMMAND --help: the command's), "
           "the version\n";
    printLinkHelp(out);
    out << "\nExit status: 0 done, 1 the operation failed, 2 bad usage or bad input,\n"
        << "3 cancelled.\n";
}

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

int usageError(Context& ctx, const QString& message) {
    ctx.err << "voltaris: " << message << "\nTry 'voltaris --help'.\n";
    ctx.err.flush();
    return kBadUsage;
}

}  // namespace

int run(const QStringList& arguments, Context& ctx) {
    Invocation inv;
    try {
        inv = parseInvocation(arguments);
    } catch (const UsageError& e) {
        return usageError(ctx, e.message);
    }
    if (inv.version) {
        ctx.out << ProgramTitle() << '\n';
        return kDone;
    }
    if (inv.help && inv.command.isEmpty()) {
        printHelp(ctx.out);
        return kDone;
    }
    if (inv.command.isEmpty())
        return usageError(ctx, QStringLiteral("no command given"));
    const Command* command = findCommand(inv.command);
    if (!command)
        return usageError(ctx, QStringLiteral("unknown command %1").arg(inv.command));
    if (inv.help) {
        printCommandHelp(ctx.out, *command);
        ctx.out.flush();
        return kDone;
    }

    CliMessages messages(ctx);
    ScopedMessages scope(&messages);
    Archive archive;
    int status = kFailed;
    try {
        StartProgram({inv.home, inv.switches, ctx.executableDir}, archive);
        Session session{ctx, archive};
        status = command->run(session, inv.args);
    } catch (const UsageError& e) {
        status = usageError(ctx, e.message);
    } catch (const AssertFailed&) {
        // Already logged and shown by the check itself.
        status = kFailed;
    } catch (const VoltarisError& e) {
        messages.show(UserMessages::Icon::Error, QString(), e.message());
        status = kFailed;
    }
    ctx.out.flush();
    ctx.err.flush();
    return status;
}

}  // namespace voltaris::cli
