#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "archive/Archive.h"
#include "base/ResString.h"
#include "cli/Command.h"
#include "cli/InstrumentCommands.h"
#include "cli/ReportCommand.h"

namespace voltaris::cli {

const QList<Command>& commands() {
    static const QList<Command> all = {
        listCommand(),   showCommand(),   createCommand(), updateCommand(),   deleteCommand(),
        exportCommand(), importCommand(), reportCommand(), transmitCommand(), readCommand(),
        resetCommand(),  scanCommand(),   liveCommand()};
    return all;
}

bool requireConfiguration(Session& s, qint32 id, Purpose purpose) {
    if ((purpose != Purpose::Delete || id != Archive::ReservedId) && s.archive.exists(id))
        return true;
    s.ctx.err << QStringLiteral("There is no configuration with ID %1.").arg(id) << '\n';
    return false;
}

Command listCommand() {
    return {
        QStringLiteral("list"), QStringLiteral("[--json]"),
        QStringLiteral("configurations: id and name"), [](Session& s, const QStringList& args) {
            const ArgList a(args, {QStringLiteral("--json")}, {});
            a.expectPositionals(0);
            const QList<ProgramEntry> entries = s.archive.list();
            if (a.flag(QStringLiteral("--json"))) {
                QJsonArray arr;
                for (const ProgramEntry& e : entries)
                    arr.append(QJsonObject{{QStringLiteral("id"), e.id},
                                           {QStringLiteral("name"), e.name}});
                s.ctx.out << QJsonDocument(arr).toJson(QJsonDocument::Indented);
                return int(kDone);
            }
            if (entries.isEmpty())
                return int(kDone);
            int idWidth = 2;
            for (const ProgramEntry& e : entries)
                idWidth = qMax(idWidth, int(QString::number(e.id).size()));
            s.ctx.out
                << QStringLiteral("%1  %2").arg(QStringLiteral("ID"), idWidth).arg(ResString(796))
                << '\n';
            for (const ProgramEntry& e : entries)
                s.ctx.out << QStringLiteral("%1  %2").arg(e.id, idWidth).arg(e.name) << '\n';
            return int(kDone);
        }};
}

Command deleteCommand() {
    return {QStringLiteral("delete"), QStringLiteral("ID [--yes]"),
            QStringLiteral("delete a configuration (asks first; --yes when not on a terminal)"),
            [](Session& s, const QStringList& args) {
                const ArgList a(args, {QStringLiteral("--yes")}, {});
                const qint32 id = a.requireId(0);
                a.expectPositionals(1);
                if (!requireConfiguration(s, id, Purpose::Delete))
                    return int(kFailed);
                if (!a.flag(QStringLiteral("--yes"))) {
                    if (!s.ctx.interactive) {
                        s.ctx.err << "delete asks for confirmation; give --yes when not on a "
                                     "terminal.\n";
                        return int(kBadUsage);
                    }
                    const auto answer = UserMessages::current().askYesNo(
                        UserMessages::Icon::Information, ResString(301), ResString(795));
                    if (answer != UserMessages::Answer::Yes)
                        return int(kCancelled);
                }
                s.archive.deleteProgram(id);
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
