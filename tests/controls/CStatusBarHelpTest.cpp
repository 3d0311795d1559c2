#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "TraceCapture.h"
#include "controls/CStatusBarHelp.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

constexpr qint16 kDisplacement = 200;

// A main window whose menu items still carry their resource numbers, as at start-up.
struct MainForm {
    QMainWindow window;
    QMenu* file;
    QMenu* manage;
    QMenu* reset;  // a submenu inside "Files management"
    QAction* viewVariable;
    QAction* separator;
    QAction* exitItem;
    QAction* send;
    QAction* resetAll;
    QAction* plain;

    static QAction* item(QMenu* menu, const QString& caption, const QString& name) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    }
    static QMenu* menu(QMenuBar* bar, const QString& caption, const QString& name) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name + "Menu");
        m->menuAction()->setObjectName(name);
        return m;
    }

    MainForm() {
        window.setObjectName("FMain");
        QMenuBar* bar = window.menuBar();
        bar->setObjectName("menuBar");
        file = menu(bar, "1000", "mnuFile");
        viewVariable = item(file, "1001", "mnuViewVariable");
        separator = file->addSeparator();
        exitItem = item(file, "1002", "mnuExit");
        manage = menu(bar, "1010", "mnuGestioneProgrammi");
        item(manage, "1011", "mnuAddProgramma");
        send = item(manage, "1014\tCtrl+T", "mnuSendProgramma");
        plain = item(manage, "Options", "mnuOptions");
        reset = manage->addMenu("1016");
        reset->setObjectName("mnuResetMenu");
        reset->menuAction()->setObjectName("mnuReset");
        resetAll = item(reset, "1017", "mnuResetAll");
        item(reset, "1020", "mnuResetDMD");
    }
};

QList<qint16> ids(const QSignalSpy& spy) {
    QList<qint16> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).value<qint16>();
    return out;
}

void open(QMenu* menu) {
    menu->popup(QPoint(10, 10));
    ASSERT_TRUE(menu->isVisible());
}

}  // namespace

TEST(CStatusBarHelp, CaptionsGiveHelpIds) {
    struct Case {
        QString caption;
        bool numeric;
        qint16 helpId;
    };
    const Case cases[] = {
        {"1014", true, 1214},
        {" 1014 ", true, 1214},
        {"1014\tCtrl+T", true, 1214},
        {"0", true, 200},
        {"32567", true, 32767},
        {"32568", false, 0},  // beyond a 16-bit id
        {"-200", false, 0},   // would read as "ready"
        {"-201", false, 0},   // would read as "clear"
        {"12345678901234567890123", false, 0},
        {QString(18, u' ') + "12", true, 212},
        {QString(19, u' ') + "12", true, 201},  // read as far as 20 characters
        {"-", false, 0},
        {"", false, 0},
        {"10a", false, 0},
        {"&File", false, 0},
        {"\t1014", false, 0},
    };
    for (const Case& c : cases) {
        qint16 id = 0;
        EXPECT_EQ(CStatusBarHelp::CaptionHelpId(c.caption, kDisplacement, id), c.numeric)
            << c.caption.toStdString();
        if (c.numeric) {
            EXPECT_EQ(id, c.helpId) << c.caption.toStdString();
        }
    }
}

TEST(CStatusBarHelp, TableHoldsTheNumberedCommandItemsOfEveryMenu) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    EXPECT_EQ(help.Window(), &form.window);
    EXPECT_EQ(help.EntryCount(), 6);
    EXPECT_EQ(help.HelpIdOf(form.viewVariable), 1201);
    EXPECT_EQ(help.HelpIdOf(form.send), 1214);
    EXPECT_EQ(help.HelpIdOf(form.resetAll), 1217);
    EXPECT_EQ(help.HelpIdOf(form.file->menuAction()), 0);
    EXPECT_EQ(help.HelpIdOf(form.reset->menuAction()), 0);
    EXPECT_EQ(help.HelpIdOf(form.separator), 0);
    EXPECT_EQ(help.HelpIdOf(form.plain), 0);
}

TEST(CStatusBarHelp, HighlightsInOpenMenusGiveTheirHelp) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    // The captions are replaced after Create, as at start-up: the help stays.
    form.send->setText("Transmit file...");
    test::TraceCapture trace;
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);

    open(form.manage);  // the menu's title is selected: clear
    form.send->hover();
    form.plain->hover();  // not in the table: nothing
    form.reset->menuAction()->hover();
    open(form.reset);
    form.resetAll->hover();
    EXPECT_EQ(ids(spy), (QList<qint16>{-1, 1214, -1, 1217}));

    const QStringList expected = {
        "hWnd=FMain hMenu=menuBar ID=mnuGestioneProgrammi Flags=1",
        "hWnd=FMain hMenu=mnuGestioneProgrammiMenu ID=mnuSendProgramma Flags=0",
        "Evento HelpID",
        "hWnd=FMain hMenu=mnuGestioneProgrammiMenu ID=mnuOptions Flags=0",
        "hWnd=FMain hMenu=mnuGestioneProgrammiMenu ID=mnuReset Flags=1",
        "hWnd=FMain hMenu=mnuResetMenu ID=mnuResetAll Flags=0",
        "Evento HelpID",
    };
    EXPECT_EQ(trace.lines, expected);
    form.manage->hide();
}

TEST(CStatusBarHelp, SeparatorsAndMenuTitlesClear) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);
    open(form.file);
    form.viewVariable->hover();
    form.separator->hover();
    form.exitItem->hover();
    // Moving along the menu bar while a menu is open.
    form.manage->menuAction()->hover();
    EXPECT_EQ(ids(spy), (QList<qint16>{-1, 1201, -1, 1202, -1}));
    form.file->hide();
}

TEST(CStatusBarHelp, ClosingTheMenusShowsReadyOnce) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    test::TraceCapture trace;
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);
    open(form.manage);
    open(form.reset);
    form.resetAll->hover();
    spy.clear();
    trace.lines.clear();

    // The submenu closes, its parent stays open: not yet.
    form.reset->hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.isEmpty());
    form.send->hover();
    EXPECT_EQ(ids(spy), QList<qint16>{1214});

    form.manage->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(ids(spy), (QList<qint16>{1214, 0}));
    EXPECT_EQ(trace.lines.last(), "hWnd=FMain hMenu=0 ID=0 Flags=65535");

    // Nothing more until a menu is used again.
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.size(), 2);

    // Moving from one menu of the bar to the next closes one and opens the other: the menus
    // did not close.
    open(form.file);
    spy.clear();
    form.file->hide();
    open(form.manage);
    QCoreApplication::processEvents();
    EXPECT_EQ(ids(spy), QList<qint16>{-1});
    form.manage->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(ids(spy), (QList<qint16>{-1, 0}));
}

TEST(CStatusBarHelp, HighlightsOutsideAnOpenMenuAreNotMenuSelections) {
    MainForm form;
    QToolBar* tools = form.window.addToolBar("tools");
    tools->addAction(form.send);  // the same command on a toolbar button
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);
    form.send->hover();
    form.manage->menuAction()->hover();  // the pointer passing over the menu bar
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.isEmpty());
}

TEST(CStatusBarHelp, TableKeeps101ItemsAndReportsTheRest) {
    QMainWindow window;
    window.setObjectName("FMain");
    QMenu* first = window.menuBar()->addMenu("1");
    QMenu* second = window.menuBar()->addMenu("2");
    QList<QAction*> items;
    for (int i = 0; i < 102; ++i)
        items << (i < 60 ? first : second)->addAction(QString::number(1000 + i));
    CStatusBarHelp help;
    help.Create(&window, kDisplacement);
    EXPECT_EQ(help.EntryCount(), CStatusBarHelp::kTableSize);
    EXPECT_EQ(help.HelpIdOf(items[100]), 1300);
    EXPECT_EQ(help.HelpIdOf(items[101]), 0);

    test::TraceCapture trace;
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);
    open(second);
    items[100]->hover();
    items[101]->hover();
    EXPECT_EQ(ids(spy), (QList<qint16>{-1, 1300}));
    EXPECT_EQ(trace.lines.last(), "Non individuato l'item per l'Help sulla status bar");
    second->hide();
}

TEST(CStatusBarHelp, AnItemMissingFromAFreeTableIsNotReported) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    test::TraceCapture trace;
    open(form.manage);
    form.plain->hover();
    EXPECT_FALSE(trace.lines.contains("Non individuato l'item per l'Help sulla status bar"));
    form.manage->hide();
}

TEST(CStatusBarHelp, ReleasingOrRestartingStopsWatching) {
    MainForm form;
    MainForm other;
    test::TraceCapture trace;
    auto help = std::make_unique<CStatusBarHelp>();
    help->Create(&form.window, kDisplacement);
    QSignalSpy spy(help.get(), &CStatusBarHelp::HelpID);

    help->Create(&other.window, kDisplacement);
    open(form.manage);
    form.send->hover();
    form.manage->hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.isEmpty()) << "the first window is no longer watched";
    EXPECT_EQ(help->EntryCount(), 6);

    help.reset();
    trace.lines.clear();
    open(other.manage);
    other.send->hover();
    other.manage->hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(trace.lines.isEmpty());
}

TEST(CStatusBarHelp, AWindowWithoutMenusWatchesNothing) {
    QWidget window;
    CStatusBarHelp help;
    help.Create(&window, kDisplacement);
    EXPECT_EQ(help.EntryCount(), 0);
    help.Create(nullptr, kDisplacement);
    EXPECT_EQ(help.Window(), nullptr);
}

TEST(CStatusBarHelp, FollowsTheMouseAndTheKeyboardOnTheMenuBar) {
    MainForm form;
    CStatusBarHelp help;
    help.Create(&form.window, kDisplacement);
    form.window.show();
    form.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));
    QSignalSpy spy(&help, &CStatusBarHelp::HelpID);
    QMenuBar* bar = form.window.menuBar();
    const auto step = [&](const char* what, auto&& action, QList<qint16> expected) {
        spy.clear();
        action();
        QTest::qWait(20);
        EXPECT_EQ(ids(spy), expected) << what;
    };

    step("click on a menu title",
         [&] {
             QTest::mouseClick(bar, Qt::LeftButton, {},
                               bar->actionGeometry(form.file->menuAction()).center());
         },
         {-1});
    ASSERT_TRUE(form.file->isVisible());
    step("down to the first item", [&] { QTest::keyClick(form.file, Qt::Key_Down); }, {1201});
    step("Esc closes the menu, its title stays highlighted",
         [&] { QTest::keyClick(form.file, Qt::Key_Escape); }, {-1});
    step("Esc leaves the menu bar", [&] { QTest::keyClick(bar, Qt::Key_Escape); }, {0});
    step("Alt enters the menu bar", [&] { QTest::keyClick(&form.window, Qt::Key_Alt); }, {-1});
    step("Esc leaves it", [&] { QTest::keyClick(bar, Qt::Key_Escape); }, {0});
}
