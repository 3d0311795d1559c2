#include "app/Startup.h"
#include "archive/Archive.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "cli/Command.h"

namespace voltaris::cli {

namespace {

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
        << "  --help, --version\n"
        << "\nExit status: 0 done, 1 the operation failed, 2 bad usage or bad input,\n"
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
    if (inv.help) {
        printHelp(ctx.out);
        return kDone;
    }
    if (inv.command.isEmpty())
        return usageError(ctx, QStringLiteral("no command given"));
    const Command* command = findCommand(inv.command);
    if (!command)
        return usageError(ctx, QStringLiteral("unknown command %1").arg(inv.command));

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
