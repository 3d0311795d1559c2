#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include <QTabBar>
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
#include "wizard/FWAlarm.h"
#include "wizard/FWAnalogOutSetup.h"
#include "wizard/FWDigOutConfig.h"
#include "wizard/FWPulseOutSetup.h"
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

// A stored configuration the instrument would refuse is not saved by End: the problems are
// listed and the wizard stays open. The damage sits in a record whose page this model skips
// (the serial module of an R2 model), so no page brings it back within range.
TEST(FMain, EndChecksTheWholeConfigurationFirst) {
    Desktop d;
    ASSERT_TRUE(d.main);
    Configuration damaged;
    damaged.UsoInstr().setNomeProgramma("Damaged");
    damaged.UsoInstr().setInstrModel(0x00230004);
    damaged.SerialComm().setNetworkAdd(0);
    const qint32 id = damaged.create(d.archive);
    d.main->SelectProgram(-1);
    d.main->close();
    d.main.reset();
    shell::DesktopOptions options;
    options.home = d.home.path();
    options.executableDir = VOLTARIS_BIN_DIR;
    options.splashSeconds = 0;
    d.main = shell::StartDesktop(options, d.archive);
    ASSERT_TRUE(d.main);
    d.main->SelectProgram(id);
    d.trace.messages.clear();
    int ends = 0;
    {
        PageDriver driver([&](WizardPage* page) {
            if (auto* text = page->findChild<QLineEdit*>("txtProgramName"))
                text->setText("Renamed");
            if (page->button("cmdNext")->isEnabled())
                return QString("cmdNext");
            return QString(++ends == 1 ? "cmdEnd" : "cmdCancel");
        });
        d.main->EditProgram();
    }
    EXPECT_EQ(ends, 2);  // End was refused, the page stayed for Cancel
    ASSERT_EQ(d.trace.messages.entries().size(), 1);
    EXPECT_TRUE(d.trace.messages.entries()[0].text.contains("CSerialComm"))
        << d.trace.messages.entries()[0].text.toStdString();
    EXPECT_EQ(d.highlightedName(), "Damaged");
}

// Output 1 on 2 alarms: the alarm page comes after the digital outputs, prepared with the
// usage page's model, wiring system and ratios and the count; an A3 model shows its three
// analogue outputs instead. What was entered is what the archive holds.
TEST(FMain, NewConfigurationWithAlarmAndAnalogueOutputPages) {
    const struct {
        const char* model;
        QStringList pages;  // object names, in the order Next shows them
    } cases[] = {
        {"KM5.1.x.R2.KX",
         {"FWUsoInstr", "FWDigOutConfig", "FWAlarm", "FWPulseOutSetup", "FWFinalSetupMessage"}},
        {"KM5.1.x.A3.KX",
         {"FWUsoInstr", "FWAnalogOutSetup", "FWAnalogOutSetup", "FWAnalogOutSetup",
          "FWFinalSetupMessage"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Desktop d;
        ASSERT_TRUE(d.main);
        QStringList trail;
        int tabs = 0;
        {
            PageDriver driver([&](WizardPage* page) -> QString {
                trail << page->objectName();
                if (page->objectName() == "FWUsoInstr") {
                    page->findChild<QLineEdit*>("txtProgramName")->setText("Alarms");
                    page->findChild<QComboBox*>("cmbInstrModel")->setCurrentText(c.model);
                } else if (page->objectName() == "FWDigOutConfig") {
                    page->findChild<QRadioButton*>("optDigOut11")->click();
                    qobject_cast<wizard::FWDigOutConfig*>(page)->m_NumAlarm1.setValue(2);
                } else if (auto* alarm = qobject_cast<wizard::FWAlarm*>(page)) {
                    tabs = alarm->tabs()->count();
                    alarm->m_DelayTime.setValue(7);
                } else if (auto* analog = qobject_cast<wizard::FWAnalogOutSetup*>(page)) {
                    analog->m_MinOut.setValue(4);
                }
                return QString(page->button("cmdNext")->isEnabled() ? "cmdNext" : "cmdEnd");
            });
            d.main->findChild<QAction*>("mnuAddProgramma")->trigger();
        }
        EXPECT_EQ(trail, c.pages);
        ASSERT_EQ(d.highlightedName(), "Alarms");
        Configuration stored;
        stored.load(d.archive, d.main->IDProgramma());
        if (c.pages.contains("FWAlarm")) {
            EXPECT_EQ(tabs, 2);
            EXPECT_EQ(stored.DigOutConfig().NumAlarm1(), 2);
            EXPECT_EQ(stored.Alarm(1).DelayTime(0), 7);
        } else {
            for (int output = 1; output <= 3; ++output)
                EXPECT_EQ(stored.AnalogOutSetup(output).MinOut(), 4) << output;
        }
        EXPECT_TRUE(d.trace.messages.entries().isEmpty());
    }
}

// New on a model with two digital outputs (R2): output 1 on pulses shows its pulse page,
// output 2 on remote control shows none; Back skips the same way; End stores what was entered.
TEST(FMain, NewConfigurationWithOutputPages) {
    Desktop d;
    ASSERT_TRUE(d.main);
    QStringList titles;
    QString weightOnReturn;
    int shown = 0;
    const auto click = [](WizardPage* page, const char* name) {
        auto* option = page->findChild<QRadioButton*>(name);
        if (!option || !option->isEnabled())
            ADD_FAILURE() << "cannot click " << name;
        else
            option->click();
    };
    {
        PageDriver driver([&](WizardPage* page) -> QString {
            titles << page->title()->text();
            switch (++shown) {
                case 1:
                    page->findChild<QLineEdit*>("txtProgramName")->setText("Outputs");
                    page->findChild<QComboBox*>("cmbInstrModel")
                        ->setCurrentText(QStringLiteral("KM5.1.x.R2.KX"));
                    return "cmdNext";
                case 2:
                    click(page, "optDigOut22");
                    click(page, "optEnableOut2");
                    return "cmdNext";
                case 3: {
                    click(page, "optKVARhTot");
                    click(page, "optPulseOutStatusOn");
                    auto* pulses = qobject_cast<wizard::FWPulseOutSetup*>(page);
                    if (pulses)
                        pulses->m_PulseOut.setValue(1250);
                    return "cmdNext";
                }
                case 4:
                    return "cmdBack";
                case 5:
                    weightOnReturn = page->findChild<QLineEdit*>("txtPulseOut")->text();
                    return "cmdBack";
                case 6:
                case 7:
                    return "cmdNext";
                default:
                    return "cmdEnd";
            }
        });
        d.main->findChild<QAction*>("mnuAddProgramma")->trigger();
    }
    const QString digital = ResString(600), pulse1 = "Pulse output setup 1...",
                  final = ResString(370);
    EXPECT_EQ(titles, QStringList({ResString(620), digital, pulse1, final, pulse1, digital, pulse1,
                                   final}));
    EXPECT_EQ(weightOnReturn, "12.50 Pulses/Kvarh");
    ASSERT_EQ(d.highlightedName(), "Outputs");

    // What voltaris reads from the archive.
    Configuration stored;
    stored.load(d.archive, d.main->IDProgramma());
    EXPECT_EQ(stored.UsoInstr().InstrModel(), 0x00230004);
    const CDigOutConfig& outputs = stored.DigOutConfig();
    EXPECT_EQ(outputs.DigOut1(), CDigOutConfig::Pulses);
    EXPECT_EQ(outputs.DigOut2(), CDigOutConfig::RemoteControl);
    EXPECT_EQ(outputs.StatusDigOut2(), 1);
    EXPECT_EQ(outputs.NumAlarm1() + outputs.NumAlarm2(), 0);
    EXPECT_EQ(stored.PulseOutSetup(1).SelectCounter(), 1);
    EXPECT_EQ(stored.PulseOutSetup(1).PulseOut(), 1250);
    EXPECT_EQ(stored.PulseOutSetup(1).PulseOutStatus(), 1);
    // The skipped pulse page keeps its defaults.
    EXPECT_EQ(stored.PulseOutSetup(2).PulseOut(), 1);
    EXPECT_EQ(stored.PulseOutSetup(2).PulseOutStatus(), 0);
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
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
