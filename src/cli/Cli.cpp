#include "cli/Cli.h"

#include <QHash>
#include <cstdlib>

#include "base/CTraceCode.h"
#include "base/Errors.h"

namespace voltaris::cli {

Invocation parseInvocation(const QStringList& arguments) {
    Invocation inv;
    int i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--home")) {
            if (i + 1 >= arguments.size())
                throw UsageError(QStringLiteral("--home needs a folder"));
            inv.home = arguments.at(++i);
        } else if (a.startsWith(QLatin1String("--home="))) {
            inv.home = a.mid(7);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            inv.help = true;
        } else if (a == QLatin1String("--version")) {
            inv.version = true;
        } else if (a.toUpper().contains(QLatin1String("/DEBUG"))) {
            inv.switches << a;
        } else if (a.startsWith(u'-')) {
            throw UsageError(QStringLiteral("unknown option %1").arg(a));
        } else {
            break;
        }
    }
    if (i < arguments.size()) {
        inv.command = arguments.at(i);
        bool optionsEnded = false;
        for (++i; i < arguments.size(); ++i) {
            const QString& a = arguments.at(i);
            optionsEnded = optionsEnded || a == QLatin1String("--");
            // The trace switches are accepted anywhere on the line.
            if (a.toUpper().contains(QLatin1String("/DEBUG")))
                inv.switches << a;
            else
                inv.args << a;
            // COMMAND --help: that command's help, whatever else the line holds.
            if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h")))
                inv.help = true;
        }
    }
    return inv;
}

ArgList::ArgList(const QStringList& args, const QStringList& flags, const QStringList& valued) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--")) {
            m_positional << args.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--")) || a == QLatin1String("-")) {
            m_positional << a;
            continue;
        }
        QString name = a;
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = a.indexOf(u'='); eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
            hasValue = true;
        }
        if (flags.contains(name) && !hasValue) {
            m_flags << name;
        } else if (valued.contains(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    throw UsageError(QStringLiteral("%1 needs a value").arg(name));
                value = args.at(++i);
            }
            m_values.insert(name, value);
        } else {
            throw UsageError(QStringLiteral("unknown option %1").arg(a));
        }
    }
}

QString ArgList::require(int i, const QString& what) const {
    if (i >= m_positional.size())
        throw UsageError(QStringLiteral("missing %1").arg(what));
    return m_positional.at(i);
}

qint32 ArgList::requireId(int i) const {
    const QString text = require(i, QStringLiteral("configuration ID"));
    bool ok = false;
    const qint32 id = text.toInt(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("%1 is not a configuration ID").arg(text));
    return id;
}

void ArgList::expectPositionals(int count) const {
    if (m_positional.size() > count)
        throw UsageError(QStringLiteral("unexpected argument %1").arg(m_positional.at(count)));
}

QString plainText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

namespace {

void qtMessageToTrace(QtMsgType type, const QMessageLogContext&, const QString& text) {
    g_Trace().BugMessage(QStringLiteral("Messaggio Qt: ") + text);
    if (type == QtFatalMsg)
        std::abort();
}

}  // namespace

QtMessageHandler RouteQtMessagesToTrace() {
    return qInstallMessageHandler(qtMessageToTrace);
}

void CliMessages::show(Icon, const QString& title, const QString& text) {
    if (title == CTraceCode::AssertTitle()) {
        // The check's own text is for the trace log, where it already is.
        m_ctx.err << QStringLiteral(
                         "Internal error: the command was abandoned; the trace log has the "
                         "details.")
                  << Qt::endl;
        return;
    }
    QString t = plainText(text).trimmed();
    const QString head = plainText(title).trimmed();
    if (!head.isEmpty() && !t.startsWith(head))
        t = head + QStringLiteral(": ") + t;
    m_ctx.err << t << Qt::endl;
}

UserMessages::Answer CliMessages::askYesNo(Icon, const QString& title, const QString& text) {
    const QString head = plainText(title).trimmed();
    if (!head.isEmpty())
        m_ctx.err << head << Qt::endl;
    m_ctx.err << plainText(text).trimmed() << Qt::endl;
    if (!m_ctx.interactive)
        return Answer::No;
    m_ctx.err << "[y/N] " << Qt::flush;
    const QString reply = m_ctx.in.readLine().trimmed().toLower();
    return (reply == QLatin1String("y") || reply == QLatin1String("yes")) ? Answer::Yes
                                                                          : Answer::No;
}

}  // namespace voltaris::cli
