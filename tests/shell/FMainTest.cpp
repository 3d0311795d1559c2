#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "DesktopSupport.h"
#include "TestSupport.h"
#include "TraceCapture.h"
#include "archive/Archive.h"
#include "base/FileDialogs.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "model/Configuration.h"
#include "shell/DesktopStartup.h"
#include "shell/FMain.h"
#include "wizard/WizardPage.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::shell::FMain;
using voltaris::wizard::WizardPage;

namespace {

TEST(FMain, StartsOnAFreshDataFolder) {
    Desktop d;
    ASSERT_TRUE(d.main);
    EXPECT_EQ(d.main->windowTitle(), ResString(301));
    EXPECT_TRUE(QFile::exists(d.home.file("Zel2Program.cfg")));
    EXPECT_EQ(d.grid()->rowCount(), 0);
    EXPECT_EQ(d.main->IDProgramma(), -1);
    for (const char* name : {"EditProg", "DelProg", "mnuEditProgramma", "mnuDelProgramma",
                             "mnuExport", "SendProg", "mnuSendProgramma", "mnuPrint"})
        EXPECT_FALSE(d.enabled(name)) << name;
    for (const char* name : {"NewProg", "mnuAddProgramma", "mnuImport", "mnuAbout", "mnuExit"})
        EXPECT_TRUE(d.enabled(name)) << name;
    // Menu captions and the toolbar's tips from the string table; no bare number is left.
    EXPECT_EQ(d.main->findChild<QAction*>("mnuSendProgramma")->text(), "Transmit file...");
    EXPECT_EQ(d.main->findChild<QAction*>("NewProg")->toolTip(), ResString(261));
    for (QAction* a : d.main->findChildren<QAction*>()) {
        bool numeric = false;
        a->text().toInt(&numeric);
        EXPECT_FALSE(numeric) << a->objectName().toStdString();
    }
    EXPECT_GE(d.main->minimumWidth() * 15, 5000);
    EXPECT_GE(d.main->height() * 15, 4000);
    for (const char* line :
         {"Inizio Zel1Soft", "Creazione della classe per l'help sulla statusbar",
          "Caricamento testi menu", "Start LoadToolBarToolTip()", "Form_Load step 1",
          "LoadData m_Option", "Fine FMain_Load", "Visualizza form main", "End Sub Main()"})
        EXPECT_TRUE(d.log().contains(line)) << line;
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
}

TEST(FMain, AMissingTemplateEndsTheStartWithItsMessage) {
    TempDir nowhere;
    Desktop d(nowhere.path());
    EXPECT_FALSE(d.main);
    ASSERT_EQ(d.trace.messages.entries().size(), 1);
    EXPECT_TRUE(d.trace.messages.entries()[0].text.contains("Zel2Setup.dll"));
    EXPECT_FALSE(QFile::exists(d.home.file("Zel2Program.cfg")));
}

TEST(FMain, NewEditDeleteKeepTheHighlightOnTheConfigurationConcerned) {
    Desktop d;
    ASSERT_TRUE(d.main);
    d.create("Line B");
    d.create("Line A");
    ASSERT_EQ(d.grid()->rowCount(), 2);
    EXPECT_EQ(d.grid()->item(0, 0)->text(), "Line A");  // sorted by name
    EXPECT_EQ(d.highlightedName(), "Line A");
    const qint32 lineA = d.main->IDProgramma();
    EXPECT_NE(lineA, Archive::ReservedId);
    EXPECT_TRUE(d.enabled("EditProg"));

    // Edit the second row: renamed so that it moves; the highlight follows it.
    d.main->SelectProgram(d.grid()->item(1, 1)->text().toInt());
    const qint32 lineB = d.main->IDProgramma();
    {
        PageDriver driver([](WizardPage* page) {
            if (auto* text = page->findChild<QLineEdit*>("txtProgramName"))
                text->setText("Feeder 0");
            return QString(page->button("cmdNext")->isEnabled() ? "cmdNext" : "cmdEnd");
        });
        d.main->findChild<QAction*>("mnuEditProgramma")->trigger();
    }
    EXPECT_EQ(d.highlightedName(), "Feeder 0");
    EXPECT_EQ(d.main->IDProgramma(), lineB);

    // Cancel leaves the configuration as it was.
    {
        PageDriver driver([](WizardPage* page) {
            if (auto* text = page->findChild<QLineEdit*>("txtProgramName"))
                text->setText("Never stored");
            return QString("cmdCancel");
        });
        d.main->EditProgram();
    }
    EXPECT_EQ(d.highlightedName(), "Feeder 0");

    // Delete asks; No keeps it.
    d.trace.messages = RecordingMessages(UserMessages::Answer::No);
    d.main->findChild<QAction*>("DelProg")->trigger();
    EXPECT_EQ(d.grid()->rowCount(), 2);
    ASSERT_EQ(d.trace.messages.entries().size(), 1);
    EXPECT_EQ(d.trace.messages.entries()[0].text, ResString(795));
    EXPECT_TRUE(d.log().contains("ButtonKey=DelProg"));

    RecordingMessages yes(UserMessages::Answer::Yes);
    ScopedMessages answerYes(&yes);
    d.main->DeleteProgram();
    ASSERT_EQ(d.grid()->rowCount(), 1);
    EXPECT_EQ(d.highlightedName(), "Line A");
    EXPECT_EQ(d.main->IDProgramma(), lineA);
    d.main->DeleteProgram();
    EXPECT_EQ(d.grid()->rowCount(), 0);
    EXPECT_EQ(d.main->IDProgramma(), -1);
    EXPECT_FALSE(d.enabled("EditProg"));
    EXPECT_FALSE(d.enabled("DelProg"));
}

TEST(FMain, ExportAndImportThroughTheFileDialogs) {
    Desktop d;
    ASSERT_TRUE(d.main);
    d.create("Line/A");
    const QString file = d.home.file("out.ZLA");
    d.dialogs.enqueue(file);
    d.main->findChild<QAction*>("mnuExport")->trigger();
    ASSERT_TRUE(QFile::exists(file));
    ASSERT_EQ(d.dialogs.requests().size(), 1);
    // The proposed name is the configuration's, made safe for a file name.
    EXPECT_TRUE(d.dialogs.requests()[0].path.endsWith("/Line_A.ZLA"));

    // Over an existing file it asks first; No writes nothing.
    QFile::resize(file, 10);
    d.dialogs.enqueue(file);
    d.main->ExportFile();
    EXPECT_EQ(QFileInfo(file).size(), 10);

    d.dialogs.enqueue(QString());  // cancelled: nothing happens, nothing said
    const qsizetype said = d.trace.messages.entries().size();
    d.main->ImportFile();
    EXPECT_EQ(d.grid()->rowCount(), 1);
    EXPECT_EQ(d.trace.messages.entries().size(), said);

    // Export again (answering Yes), then import it: a second configuration of that name,
    // highlighted.
    {
        RecordingMessages yes(UserMessages::Answer::Yes);
        ScopedMessages answerYes(&yes);
        d.dialogs.enqueue(file);
        d.main->ExportFile();
    }
    const qint32 first = d.main->IDProgramma();
    d.dialogs.enqueue(file);
    d.main->findChild<QAction*>("mnuImport")->trigger();
    ASSERT_EQ(d.grid()->rowCount(), 2);
    EXPECT_EQ(d.highlightedName(), "Line/A");
    EXPECT_NE(d.main->IDProgramma(), first);

    // A file that cannot be read is reported; the program goes on.
    d.dialogs.enqueue(d.home.file("missing.ZLA"));
    const qsizetype before = d.trace.messages.entries().size();
    d.main->findChild<QAction*>("mnuImport")->trigger();
    EXPECT_EQ(d.trace.messages.entries().size(), before + 1);
    EXPECT_EQ(d.grid()->rowCount(), 2);
    d.create("Still working");
    EXPECT_EQ(d.grid()->rowCount(), 3);
}

TEST(FMain, PlacementAndRecordsAreSavedOnClose) {
    Desktop d;
    ASSERT_TRUE(d.main);
    d.main->setGeometry(60, 40, 600, 400);
    d.main->m_CommConfigSetup.setComPort(3);
    d.main->close();
    SettingsStore store;
    EXPECT_EQ(store.value("Settings", "MainLeft"), QString::number(d.main->geometry().x() * 15));
    EXPECT_EQ(store.value("Settings", "MainWidth"), "9000");
    EXPECT_EQ(store.value("Settings", "MainHeight"), "6000");
    EXPECT_EQ(store.value("Settings", "WindowState"), "0");
    EXPECT_EQ(store.value("CCommConfig", "m_ComPort"), "3");

    // The next start opens where the last one closed.
    d.main.reset();
    shell::DesktopOptions options;
    options.home = d.home.path();
    options.executableDir = VOLTARIS_BIN_DIR;
    options.splashSeconds = 0;
    Archive again;
    auto main = shell::StartDesktop(options, again);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->geometry().size(), QSize(600, 400));
    EXPECT_EQ(main->m_CommConfigSetup.ComPort(), 3);
}

}  // namespace
