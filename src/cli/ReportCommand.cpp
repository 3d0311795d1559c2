#include "cli/ReportCommand.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>

#include "archive/Archive.h"
#include "base/Clock.h"
#include "base/Errors.h"
#include "cli/InstrumentSession.h"
#include "model/COption.h"
#include "report/ReportPrinter.h"

namespace voltaris::cli {

namespace {

const QString kPdf = QStringLiteral("--pdf");
const QString kForce = QStringLiteral("--force");
const QString kPicture = QStringLiteral("--picture");
const QString kNoPicture = QStringLiteral("--no-picture");
const QString kNotes = QStringLiteral("--notes");
const QString kNotes2 = QStringLiteral("--notes2");
const QString kNoNotes = QStringLiteral("--no-notes");
const QString kPageNumbers = QStringLiteral("--page-numbers");
const QString kNoPageNumbers = QStringLiteral("--no-page-numbers");

void refuseBoth(const ArgList& a, const QString& on, const QString& off) {
    if ((a.flag(on) || a.has(on)) && a.flag(off))
        throw UsageError(QStringLiteral("%1 and %2 exclude each other").arg(on, off));
}

// The stored print options with the command line's overrides applied.
void applyFlags(const ArgList& a, COption& o) {
    refuseBoth(a, kPicture, kNoPicture);
    refuseBoth(a, kNotes, kNoNotes);
    refuseBoth(a, kNotes2, kNoNotes);
    refuseBoth(a, kPageNumbers, kNoPageNumbers);
    if (a.has(kPicture)) {
        o.setPrintHeaderPage(true);
        o.setHeaderPagePath(QFileInfo(a.value(kPicture)).absoluteFilePath());
    }
    if (a.flag(kNoPicture))
        o.setPrintHeaderPage(false);
    if (a.has(kNotes)) {
        o.setPrintNotePiePagina(true);
        o.setNotePiePagina1(a.value(kNotes));
    }
    if (a.has(kNotes2)) {
        o.setPrintNotePiePagina(true);
        o.setNotePiePagina2(a.value(kNotes2));
    }
    if (a.flag(kNoNotes))
        o.setPrintNotePiePagina(false);
    if (a.flag(kPageNumbers))
        o.setPrintPageNumber(true);
    if (a.flag(kNoPageNumbers))
        o.setPrintPageNumber(false);
}

// Runs the report engine in an event loop of its own, with its progress on standard error and
// Ctrl-C as cancel.
int printReport(Session& s, ReportPrinter& printer) {
    ProgressView view(s.ctx);
    QObject::connect(&printer, &Engine::progress,
                     [&](int v, int min, int max) { view.setProgress(v, min, max); });
    QObject::connect(&printer, &Engine::message, [&](int, const QString& text, int) {
        view.clear();
        s.ctx.err << text << '\n';
    });
    QEventLoop loop;
    QObject::connect(&printer, &Engine::finished, &loop, &QEventLoop::quit);
    InterruptWatch watch([&printer] { printer.cancel(); });
    if (!printer.start())
        return int(kFailed);
    loop.exec();
    view.clear();
    const EngineOutcome& outcome = printer.outcome();
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    if (outcome.status == EngineOutcome::Cancelled)
        return int(kCancelled);
    if (!outcome.ok())
        return int(kFailed);
    s.ctx.out << QStringLiteral("%1: %2 page(s)").arg(printer.pdfFile()).arg(printer.pageCount())
              << '\n';
    return int(kDone);
}

}  // namespace

bool NeedsGuiApplication(const QStringList& arguments) {
    try {
        const Invocation inv = parseInvocation(arguments);
        return !inv.help && !inv.version && inv.command == QStringLiteral("report");
    } catch (const UsageError&) {
        return false;
    }
}

void PrepareGuiPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

Command reportCommand() {
    return {
        QStringLiteral("report"),
        QStringLiteral("ID --pdf FILE [--force] [--picture FILE | --no-picture] [--notes TEXT] "
                       "[--notes2 TEXT] [--no-notes] [--page-numbers | --no-page-numbers]"),
        QStringLiteral("print the configuration report to PDF; header picture, footer notes and "
                       "page numbers as in the print options unless given"),
        [](Session& s, const QStringList& args) {
            const ArgList a(args, {kForce, kNoPicture, kNoNotes, kPageNumbers, kNoPageNumbers},
                            {kPdf, kPicture, kNotes, kNotes2});
            const qint32 id = a.requireId(0);
            a.expectPositionals(1);
            if (!a.has(kPdf) || a.value(kPdf).isEmpty())
                throw UsageError(QStringLiteral("report needs --pdf FILE"));
            const QString path = QFileInfo(a.value(kPdf)).absoluteFilePath();

            COption options;
            options.LoadData(QString());
            applyFlags(a, options);

            if (!requireConfiguration(s, id, Purpose::Use))
                return int(kFailed);
            if (QFileInfo::exists(path) && !a.flag(kForce)) {
                s.ctx.err
                    << QStringLiteral("%1 already exists; give --force to replace it.").arg(path)
                    << '\n';
                return int(kFailed);
            }
            if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
                s.ctx.err << "report: the pages cannot be drawn without the graphical "
                             "platform.\n";
                return int(kFailed);
            }

            ReportPrinter printer(s.archive, Clock::real());
            printer.setConfiguration(id);
            printer.setOptions(options);
            printer.setPdfFile(path);
            return printReport(s, printer);
        }};
}

}  // namespace voltaris::cli
