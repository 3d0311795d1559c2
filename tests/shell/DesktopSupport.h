#pragma once

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

#include "TestSupport.h"
#include "TraceCapture.h"
#include "archive/Archive.h"
#include "base/FileDialogs.h"
#include "base/SettingsStore.h"
#include "shell/DesktopStartup.h"
#include "shell/FMain.h"
#include "wizard/WizardPage.h"

namespace voltaris::test {

using voltaris::shell::FMain;
using voltaris::wizard::WizardPage;

// Acts on every wizard page that comes up while it lives: `act` gets the page and says which
// button to press (by object name).
class PageDriver {
public:
    explicit PageDriver(std::function<QString(WizardPage*)> act) : m_act(std::move(act)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    QStringList trail;

private:
    void Poll() {
        auto* page = qobject_cast<WizardPage*>(QApplication::activeModalWidget());
        if (!page || page == m_handled)
            return;
        m_handled = page;
        trail << page->objectName();
        const QString press = m_act(page);
        QObject::connect(
            page, &QDialog::finished, page, [this] { m_handled = nullptr; },
            Qt::SingleShotConnection);
        if (QPushButton* b = page->button(press.toLatin1().constData()))
            b->click();
        if (page->isVisible())
            m_handled = nullptr;  // refused: act again
    }
    std::function<QString(WizardPage*)> m_act;
    QTimer m_timer;
    WizardPage* m_handled = nullptr;
};

// The desktop program started on a data folder of its own, the settings in a scratch file,
// message boxes and file dialogs answered by the test.
struct Desktop {
    TempDir home;
    ScopedSettingsFile settings{home.file("Voltaris.ini")};
    TraceCapture trace;
    RecordingFileDialogs dialogs;
    ScopedFileDialogs dialogScope{&dialogs};
    Archive archive;
    std::unique_ptr<FMain> main;

    explicit Desktop(QString executableDir = VOLTARIS_BIN_DIR) {
        trace.messages.clear();
        start(executableDir);
    }
    // Closes the window and starts the program again on the same folder and settings (it then
    // lists what was stored behind its back).
    void restart() {
        main.reset();
        start(VOLTARIS_BIN_DIR);
    }
    void start(const QString& executableDir) {
        shell::DesktopOptions options;
        options.home = home.path();
        options.executableDir = executableDir;
        options.splashSeconds = 0;
        main = shell::StartDesktop(options, archive);
    }
    QTableWidget* grid() const { return main->findChild<QTableWidget*>("dgProgrammi"); }
    QString highlightedName() const {
        const int row = grid()->currentRow();
        return row < 0 ? QString() : grid()->item(row, 0)->text();
    }
    // The trace log the program writes in its data folder.
    QStringList log() const {
        QFile f(home.file("test_shell.DBG"));
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll()).split("\r\n");
    }
    bool enabled(const char* name) const { return main->findChild<QAction*>(name)->isEnabled(); }
    // Runs New through the wizard: the name on the usage page, Next to the end, End.
    void create(const QString& name) {
        PageDriver driver([&](WizardPage* page) {
            if (auto* text = page->findChild<QLineEdit*>("txtProgramName"))
                text->setText(name);
            return QString(page->button("cmdNext")->isEnabled() ? "cmdNext" : "cmdEnd");
        });
        main->findChild<QAction*>("mnuAddProgramma")->trigger();
    }
};

}  // namespace voltaris::test
