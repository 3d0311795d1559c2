// voltaris-render-windows DIR: draws the desktop program's windows into DIR as PNG files (main
// window with a few configurations, splash, About, the usage, digital outputs, pulse, alarm and
// analogue output pages), on a scratch data folder. For the documentation;
// scripts/render-windows.sh runs it under a virtual display.
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
#include "shell/FPortMap.h"
#include "shell/FSerialProgSetup.h"
#include "shell/FViewInstrData.h"
#include "transfer/TransferProcedure.h"
#include "wizard/FWAlarm.h"
#include "wizard/FWDigOutConfig.h"
#include "wizard/FWPulseOutSetup.h"
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

    // Output 1 on alarms, output 2 on pulses: every control of the page has something to show.
    wizard::FWDigOutConfig outputs;
    c.DigOutConfig().setDigOut1(CDigOutConfig::Alarm);
    c.DigOutConfig().setNumAlarm1(10);
    c.DigOutConfig().setStatusDigOut1(1);
    outputs.SetData(c.DigOutConfig());
    outputs.LoadPage();
    outputs.setWindowTitle(QStringLiteral("Setting for a new configuration..."));
    Save(outputs, out, QStringLiteral("digital-outputs-page"));

    wizard::FWPulseOutSetup pulses;
    c.PulseOutSetup(2).setSelectCounter(1);
    c.PulseOutSetup(2).setPulseOut(50000);
    c.PulseOutSetup(2).setPulseOutStatus(1);
    pulses.SetData(c.PulseOutSetup(2));
    pulses.LoadPage();
    pulses.setWindowTitle(QStringLiteral("Setting for a new configuration..."));
    Save(pulses, out, QStringLiteral("pulse-output-page"));

    wizard::FWAlarm alarm;
    CAlarm& a = c.Alarm(1);
    a.setInstrModel(0x00230004);
    a.setSystem(0);
    a.setRapportoTA(50);
    a.setRapportoTV(10);
    a.setNumAlarm(4);
    a.setVarControllata(0, 0);
    a.setScaleSelect(0, 4);
    a.setMinAlarm(0, 1800);
    a.setMaxAlarm(0, 2530);
    a.setDelayTime(0, 5);
    alarm.SetData(a);
    alarm.LoadPage();
    alarm.setWindowTitle(QStringLiteral("Setting for a new configuration..."));
    Save(alarm, out, QStringLiteral("alarm-page"));
    shell::FPortMap ports(
        main.get(),
        {{QStringLiteral("/dev/ttyS0"), {}, {}, {}},
         {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("usb-FTDI_FT232R_USB_UART_A9-if00-port0"),
          QStringLiteral("FTDI"), QStringLiteral("FT232R USB UART")}});
    Save(ports, out, QStringLiteral("port-map"));
    shell::FViewInstrData live(shell::InstrumentLine{}, main.get());
    live.setWindowTitle(ResString(794));
    Save(live, out, QStringLiteral("live-window"));
    return 0;
}
