// voltaris-render-windows DIR: draws the desktop program's windows into DIR as PNG files (main
// window with a few configurations, splash, About, the usage page), on a scratch data folder.
// For the documentation; scripts/render-windows.sh runs it under a virtual display.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "archive/Archive.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "model/Configuration.h"
#include "model/ModelCatalogue.h"
#include "shell/DesktopStartup.h"
#include "shell/FAbout.h"
#include "shell/FSerialProgSetup.h"
#include "transfer/TransferProcedure.h"
#include "wizard/FWUsoInstr.h"

using namespace voltaris;

namespace {

void Save(QWidget& w, const QString& dir, const QString& name) {
    w.show();
    QApplication::processEvents();
    w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir scratch;
    SettingsStore::setFileOverride(scratch.filePath(QStringLiteral("Voltaris.ini")));

    shell::DesktopOptions options;
    options.home = scratch.path();
    options.executableDir = QApplication::applicationDirPath();
    options.splashSeconds = 0;
    Archive archive;
    auto main = shell::StartDesktop(options, archive);
    if (!main)
        return 1;
    const QStringList names = {
        QStringLiteral("Main switchboard"), QStringLiteral("Feeder 1 - pumps"),
        QStringLiteral("Feeder 2 - lighting"), QStringLiteral("Workshop 3-phase")};
    qint32 last = -1;
    for (const QString& name : names) {
        Configuration c;
        c.UsoInstr().setNomeProgramma(name);
        last = c.create(archive);
    }
    main->close();
    main.reset();
    main = shell::StartDesktop(options, archive);
    main->SelectProgram(last);
    main->resize(640, 360);
    Save(*main, out, QStringLiteral("main-window"));

    shell::FSplash splash;
    Save(splash, out, QStringLiteral("splash"));
    shell::FAbout about(main.get());
    Save(about, out, QStringLiteral("about"));

    // The transfer window halfway through a transmission (its lines as the procedure sends
    // them; nothing is started).
    shell::FSerialProgSetup transfer(archive, {}, main.get());
    emit transfer.procedure().connectionLine(FormatResString(222, QStringLiteral("9")));
    emit transfer.procedure().operationLine(ResString(201));
    emit transfer.procedure().progress(3, 0, 6);
    transfer.adjustSize();
    Save(transfer, out, QStringLiteral("transfer-window"));

    wizard::FWUsoInstr usage;
    Configuration c;
    c.UsoInstr().setNomeProgramma(names.first());
    usage.SetData(c.UsoInstr());
    usage.LoadPage();
    usage.setWindowTitle(QStringLiteral("Setting for a new configuration..."));
    Save(usage, out, QStringLiteral("usage-page"));
    return 0;
}
