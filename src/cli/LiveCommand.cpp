
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/Clock.h"
#include "base/ResString.h"
#include "cli/Command.h"
#include "cli/InstrumentSession.h"
#include "cli/LinkOptions.h"
#include "comm/WirrelObj.h"
#include "livedata/LivePoller.h"

namespace voltaris::cli {

namespace {

const QString kCount = QStringLiteral("--count");
const QString kJson = QStringLiteral("--json");
const QString kInterval = QStringLiteral("--interval");
constexpr double kDefaultInterval = 1.0;
constexpr double kMaxInterval = 3600.0;

QString lampName(quint32 lamp) {
    switch (lamp) {
        case LivePoller::Green:
            return QStringLiteral("green");
        case LivePoller::Red:
            return QStringLiteral("red");
        default:
            return QStringLiteral("grey");
    }
}

QString lampSymbol(quint32 lamp, bool colour) {
    if (!colour)
        return lampName(lamp);
    switch (lamp) {
        case LivePoller::Green:
            return QStringLiteral("\x1b[32m\u25CF\x1b[0m");
        case LivePoller::Red:
            return QStringLiteral("\x1b[31m\u25CF\x1b[0m");
        default:
            return QStringLiteral("\x1b[90m\u25CF\x1b[0m");
    }
}

const char* const kTableKeys[] = {"electrical", "dmd", "maxmin", "counters"};

// A cell as {"text", "value", "unit"}: the number and unit only where it shows a measurement.
QJsonObject cellJson(const CInstrViewVar& d, CInstrViewVar::Table t, int row, int column) {
    QJsonObject cell{{QStringLiteral("text"), d.Cell(t, row, column)}};
    CInstrViewVar::Place place;
    for (int v = 0; v < CInstrViewVar::kVariableCount; ++v) {
        if (!CInstrViewVar::PlaceOf(v, place) || place.table != t || place.row != row ||
            place.column != column)
            continue;
        const CInstrViewVar::Reading reading = d.ReadingOf(v);
        if (reading.hasValue) {
            cell.insert(QStringLiteral("value"), reading.value);
            cell.insert(QStringLiteral("unit"), reading.unit);
        }
    }
    return cell;
}

QJsonArray tableJson(const CInstrViewVar& d, CInstrViewVar::Table t) {
    const QVector<QStringList> rows = d.Rows(t);
    QJsonArray out;
    for (int r = 1; r < rows.size(); ++r) {
        QJsonObject row{{QStringLiteral("name"), rows[r][0]}};
        for (int c = 1; c < rows[r].size(); ++c)
            row.insert(rows[0][c], cellJson(d, t, r + 1, c));
        out.append(row);
    }
    return out;
}

// One table as aligned text lines.
void printTable(QTextStream& out, const CInstrViewVar& d, CInstrViewVar::Table t) {
    const QVector<QStringList> rows = d.Rows(t);
    QList<int> widths(rows[0].size(), 0);
    for (const QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], int(row[c].size()));
    for (const QStringList& row : rows) {
        QString line = row[0].leftJustified(widths[0]);
        for (int c = 1; c < row.size(); ++c)
            line += QStringLiteral("  ") + row[c].rightJustified(widths[c]);
        out << line << '\n';
    }
}

void printCycle(QTextStream& out, const LivePoller& p, qint64 cycle, bool terminal) {
    const CInstrViewVar& d = p.Decoder();
    const QStringList tabs = CInstrViewVar::TabCaptions();
    if (terminal)
        out << "\x1b[H\x1b[2J";
    else
        out << "#" << cycle << ' ';
    out << FormatResString(222, QString::number(p.CurrentAddress())) << "  "
        << QDateTime::currentDateTime().toString(Qt::ISODate) << "\n\n";
    out << tabs[0] << '\n';
    printTable(out, d, CInstrViewVar::Electrical);
    out << '\n' << tabs[1] << '\n';
    printTable(out, d, CInstrViewVar::Dmd);
    out << '\n';
    printTable(out, d, CInstrViewVar::MaxMin);
    out << '\n' << tabs[2] << '\n';
    printTable(out, d, CInstrViewVar::Counters);
    out << '\n'
        << ResString(1710) << ":  " << ResString(1762) << ' ' << lampSymbol(p.LedAlarm(), terminal)
        << "  " << ResString(1711) << ' ' << lampSymbol(p.LedAlarmOut1(), terminal) << "  "
        << ResString(1712) << ' ' << lampSymbol(p.LedAlarmOut2(), terminal) << "\n\n";
    out.flush();
}

void printJson(QTextStream& out, const LivePoller& p, qint64 cycle) {
    QJsonObject tables;
    for (int t = 0; t < CInstrViewVar::kTableCount; ++t)
        tables.insert(QLatin1String(kTableKeys[t]),
                      tableJson(p.Decoder(), CInstrViewVar::Table(t)));
    const QJsonObject o{
        {QStringLiteral("cycle"), cycle},
        {QStringLiteral("timestamp"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("address"), p.CurrentAddress()},
        {QStringLiteral("system"), p.Decoder().System()},
        {QStringLiteral("tables"), tables},
        {QStringLiteral("lamps"),
         QJsonObject{{QStringLiteral("alarm"), lampName(p.LedAlarm())},
                     {QStringLiteral("out1"), lampName(p.LedAlarmOut1())},
                     {QStringLiteral("out2"), lampName(p.LedAlarmOut2())}}},
    };
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    out.flush();
}

int runLive(Session& s, const QStringList& args) {
    const ArgList a(args, LinkOptions::flagNames() + QStringList{kJson},
                    LinkOptions::valuedNames() + QStringList{kCount, kInterval});
    a.expectPositionals(0);
    qint64 count = 0;
    if (a.has(kCount)) {
        bool ok = false;
        count = a.value(kCount).toLongLong(&ok);
        if (!ok || count < 1)
            throw UsageError(QStringLiteral("--count takes a number of cycles from 1, not '%1'")
                                 .arg(a.value(kCount)));
    }
    double interval = kDefaultInterval;
    if (a.has(kInterval)) {
        bool ok = false;
        interval = a.value(kInterval).toDouble(&ok);
        if (!ok || !(interval >= 0 && interval <= kMaxInterval))
            throw UsageError(QStringLiteral("--interval takes seconds from 0 to %1, not '%2'")
                                 .arg(kMaxInterval)
                                 .arg(a.value(kInterval)));
    }
    const bool json = a.flag(kJson);
    const bool terminal = s.ctx.interactive && !json;
    LinkSettings link = ResolveLinkSettings(LinkOptions::parse(a, LinkUse::OneInstrument));

    Clock& clock = Clock::real();
    WirrelObj component(clock);
    LivePoller poller(clock, component);
    poller.Create(link.comm, link.network);
    poller.setPortName(link.portName);
    poller.setLinkMode(link.mode);
    poller.setMaxCycles(count);
    poller.setCyclePause(qRound(interval * 1000));

    QObject::connect(&poller, &LivePoller::CycleShown, [&](qint64 cycle) {
        if (json)
            printJson(s.ctx.out, poller, cycle);
        else
            printCycle(s.ctx.out, poller, cycle, terminal);
    });
    // Only the automatic search is shown as progress: the cycle's own captions would repeat
    // with every table.
    ProgressView view(s.ctx);
    bool searching = false;
    QObject::connect(&poller, &LivePoller::AutoDetectVisible, [&](bool on) {
        searching = on;
        if (!on)
            view.clear();
    });
    QObject::connect(&poller, &LivePoller::connectionLine, [&](const QString& c) {
        if (searching)
            view.setCaption(c);
    });
    QObject::connect(&poller, &LivePoller::progress, [&](int v, int mn, int mx) {
        if (searching)
            view.setProgress(v, mn, mx);
    });
    QObject::connect(&poller, &LivePoller::searching,
                     [&](int baud, int address) { view.setSearch(baud, address); });
    return RunEngine(poller, nullptr);
}

}  // namespace

Command liveCommand() {
    return {QStringLiteral("live"),
            QStringLiteral("[LINK] [--count N] [--interval SECONDS] [--json]"),
            QStringLiteral("show the instrument's live values (Ctrl-C ends)"), runLive};
}

}  // namespace voltaris::cli
