// voltaris-wizard-demo [--settings FILE] [--screenshots DIR]: runs the communication wizard on
// the settings in FILE (an INI file; default: a scratch file that is thrown away), saves them
// on End and prints them. Exit status 0 End, 1 cancelled. --screenshots walks through the
// pages by itself and saves each as DIR/<page>.png, for the documentation.
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include "DemoWizard.h"
#include "base/ResString.h"
#include "controls/ProgramFont.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltaris"));
    QTemporaryDir scratch;
    QString file = scratch.filePath(QStringLiteral("wizard-demo.ini"));
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--settings"));
    if (at > 0 && at + 1 < args.size())
        file = args.at(at + 1);

    voltaris::controls::SetProgramFont();
    voltaris::demo::DemoWizard demo;
    demo.comm.LoadData(file);
    demo.network.LoadData(file);
    const qsizetype shots = args.indexOf(QStringLiteral("--screenshots"));
    if (shots > 0 && shots + 1 < args.size()) {
        const QString dir = args.at(shots + 1);
        QDir().mkpath(dir);
        for (int i = 1; i <= demo.tabs.CountDialogs(); ++i) {
            voltaris::wizard::WizardPage* page = demo.tabs.page(i);
            QObject::connect(page, &voltaris::wizard::WizardPage::Activated, page, [page, dir] {
                QTimer::singleShot(300, page, [page, dir] {
                    page->grab().save(dir + QLatin1Char('/') + page->objectName() +
                                      QStringLiteral(".png"));
                    QPushButton* next = page->button("cmdNext");
                    (next->isEnabled() ? next : page->button("cmdEnd"))->click();
                });
            });
        }
        // Show every page: a connection through which the network page is offered.
        demo.comm.setInterfaceType(voltaris::CCommConfig::Network);
    }
    const qint32 result = demo.Run();
    QTextStream out(stdout);
    if (result != 0) {
        out << "Cancelled: nothing saved.\n";
        return 1;
    }
    demo.comm.SaveData(file);
    demo.network.SaveData(file);
    out << demo.Summary();
    return 0;
}
