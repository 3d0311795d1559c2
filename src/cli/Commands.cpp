#include <QHash>
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
        resetCommand(),  scanCommand(),   liveCommand(),   portsCommand()};
    return all;
}

bool requireConfiguration(Session& s, qint32 id, Purpose purpose) {
    if ((purpose != Purpose::Delete || id != Archive::ReservedId) && s.archive.exists(id))
        return true;
    s.ctx.err << QStringLiteral("There is no configuration with ID %1.").arg(id) << '\n';
    return false;
}

int confirmOrStatus(Session& s, bool yes, const QString& command, const QString& title,
                    const QString& question) {
    if (yes)
        return kDone;
    if (!s.ctx.interactive) {
        s.ctx.err << command << " asks for confirmation; give --yes when not on a terminal.\n";
        return kBadUsage;
    }
    const auto answer =
        UserMessages::current().askYesNo(UserMessages::Icon::Information, title, question);
    return answer == UserMessages::Answer::Yes ? kDone : kCancelled;
}

QList<OptionHelp> commandOptions(const QString& name) {
    static const QHash<QString, QList<OptionHelp>> options = {
        {QStringLiteral("list"),
         {{QStringLiteral("--json"), QStringLiteral("a JSON array of {id, name}")}}},
        {QStringLiteral("show"),
         {{QStringLiteral("--json"),
           QStringLiteral("JSON: one object per record, keyed by its table name")}}},
        {QStringLiteral("create"),
         {{QStringLiteral("--json FILE|-"),
           QStringLiteral("the configuration as JSON, from FILE or standard input; a missing "
                          "key keeps its default")}}},
        {QStringLiteral("update"),
         {{QStringLiteral("--json FILE|-"),
           QStringLiteral("the changes as JSON, from FILE or standard input; a missing key "
                          "keeps its stored value")}}},
        {QStringLiteral("delete"),
         {{QStringLiteral("--yes"),
           QStringLiteral("delete without asking (needed when not on a terminal)")}}},
        {QStringLiteral("export"),
         {{QStringLiteral("--force"), QStringLiteral("replace FILE when it exists")}}},
        {QStringLiteral("report"),
         {{QStringLiteral("--pdf FILE"), QStringLiteral("the PDF file to write (needed)")},
          {QStringLiteral("--force"), QStringLiteral("replace FILE when it exists")},
          {QStringLiteral("--picture FILE"), QStringLiteral("print this picture in the header")},
          {QStringLiteral("--no-picture"), QStringLiteral("no header picture")},
          {QStringLiteral("--notes TEXT"), QStringLiteral("first footer note")},
          {QStringLiteral("--notes2 TEXT"), QStringLiteral("second footer note")},
          {QStringLiteral("--no-notes"), QStringLiteral("no footer notes")},
          {QStringLiteral("--page-numbers"), QStringLiteral("number the pages")},
          {QStringLiteral("--no-page-numbers"), QStringLiteral("no page numbers")}}},
        {QStringLiteral("transmit"),
         {{QStringLiteral("--verify"),
           QStringLiteral("read the written blocks back and list every word that differs")},
          {QStringLiteral("--dry-run"),
           QStringLiteral("print the frames a transmission would send; send nothing")}}},
        {QStringLiteral("reset"),
         {{QStringLiteral("--yes"),
           QStringLiteral("reset without asking (needed when not on a terminal)")}}},
        {QStringLiteral("read"),
         {{QStringLiteral("--archive"),
           QStringLiteral("also store a copy under a new id and print the id")}}},
        {QStringLiteral("ports"),
         {{QStringLiteral("--json"),
           QStringLiteral("JSON: {ports: [{device, byId, maker, product}], com: [{name, port, "
                          "gateway, device}]}")}}},
        {QStringLiteral("live"),
         {{QStringLiteral("--count N"), QStringLiteral("stop after N cycles (default: Ctrl-C)")},
          {QStringLiteral("--interval SECONDS"),
           QStringLiteral("pause between polling cycles (default 1; 0: none; fractions "
                          "allowed)")},
          {QStringLiteral("--json"), QStringLiteral("one JSON object per cycle")}}},
    };
    return options.value(name);
}

const QList<OptionHelp>& linkOptionHelp() {
    static const QList<OptionHelp> options = {
        {QStringLiteral("--port PATH|COM1..COM4|tcp://HOST:PORT"),
         QStringLiteral("the line: COMn is stored as the port (its device set in the settings, "
                        "section Ports); a device path or a serial-to-Ethernet gateway "
                        "tcp://HOST:PORT is for this run only")},
        {QStringLiteral("--interface aux|single|network"),
         QStringLiteral("aux: the auxiliary port, one instrument at address 255; single: one "
                        "instrument on RS485; network: several on RS485")},
        {QStringLiteral("--address N"),
         QStringLiteral("the instrument at address N (1..255); not on aux. Skips the address "
                        "search: only N is asked at each speed, where the search of all 255 "
                        "addresses takes minutes")},
        {QStringLiteral("--auto"),
         QStringLiteral("search the address of the one instrument (single only)")},
        {QStringLiteral("--all N"),
         QStringLiteral("every instrument of the network, addresses 1..N (network only; "
                        "transmit, reset and scan)")},
        {QStringLiteral("--keep-going"),
         QStringLiteral("with --all: go on past an instrument that fails, then list every "
                        "address and its outcome (transmit, reset)")},
        {QStringLiteral("--fast"),
         QStringLiteral("fast link: act on a reply at once, not on the next 200 ms tick")},
        {QStringLiteral("--classic"),
         QStringLiteral("classic link: one step of the exchange every 200 ms, for slow "
                        "instruments")},
        {QStringLiteral("--adaptive"),
         QStringLiteral("the default: fast until the first timeout or damaged reply of an "
                        "operation, classic for the rest of it")},
        {QStringLiteral("--save"),
         QStringLiteral("store these settings (the port as given, and the link mode) for the "
                        "next runs, as the communication wizard does")},
    };
    return options;
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
                if (const int status =
                        confirmOrStatus(s, a.flag(QStringLiteral("--yes")),
                                        QStringLiteral("delete"), ResString(301), ResString(795)))
                    return status;
                s.archive.deleteProgram(id);
                return int(kDone);
            }};
}

}  // namespace voltaris::cli
