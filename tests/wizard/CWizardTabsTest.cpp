#include <gtest/gtest.h>

#include <QPointer>

#include "TestSupport.h"
#include "TraceCapture.h"
#include "WizardTestSupport.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "model/CCommConfig.h"
#include "model/CNetworkAddMsgSetup.h"
#include "model/CSerialComm.h"
#include "wizard/FWFinalSetupMessage.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::wizard::CWizardTabs;
using voltaris::wizard::FWFinalSetupMessage;
using voltaris::wizard::WizardPage;

namespace {

// Three pages over real records and the final page, the records as the owner holds them.
struct Wizard {
    CSerialComm serial;
    CCommConfig comm;
    CNetworkAddMsgSetup network;
    CWizardTabs tabs;
    RecordPage<CSerialComm>* p1 = new RecordPage<CSerialComm>("Serial", &CSerialComm::NetworkAdd,
                                                              &CSerialComm::setNetworkAdd);
    RecordPage<CCommConfig>* p2 =
        new RecordPage<CCommConfig>("Comm", &CCommConfig::ComPort, &CCommConfig::setComPort);
    RecordPage<CNetworkAddMsgSetup>* p3 = new RecordPage<CNetworkAddMsgSetup>(
        "Network", &CNetworkAddMsgSetup::NetworkAdd, &CNetworkAddMsgSetup::setNetworkAdd);
    FWFinalSetupMessage* p4 = new FWFinalSetupMessage;

    Wizard() {
        serial.setNetworkAdd(11);
        comm.setComPort(2);
        network.setNetworkAdd(33);
        tabs.Add(p1, &serial);
        tabs.Add(p2, &comm);
        tabs.Add(p3, &network);
        tabs.Add(p4, nullptr);
        tabs.setCaption("Demo wizard");
    }
};

struct Values {
    qint16 serial, comm, network;
};

// (steps, skip rule) -> result, pages shown, records afterwards.
struct RunCase {
    const char* what;
    QList<UserStep> steps;
    // Which page the Next / Back handlers skip (by key), or where they send the user.
    std::function<void(int& iTabs, const QString& key, bool next)> skip;
    qint32 result;
    QStringList trail;
    Values after;
};

TEST(CWizardTabs, RunsAsTheUserLeadsIt) {
    const auto skipNetwork = [](int& i, const QString& key, bool next) {
        if (key == "CNetworkAddMsgSetup")
            i += next ? 1 : -1;
    };
    const Values unchanged{11, 2, 33};
    const RunCase cases[] = {
        {"edits on every page, End on the last",
         {{"Serial", 7, "cmdNext", 11},
          {"Comm", 3, "cmdNext", 2},
          {"Network", 44, "cmdNext", 33},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         {},
         WizardPage::brEnd,
         {"Serial", "Comm", "Network", "FWFinalSetupMessage"},
         {7, 3, 44}},
        {"Cancel after several Nexts leaves the records as they were",
         {{"Serial", 7, "cmdNext"}, {"Comm", 3, "cmdNext"}, {"Network", 44, "cmdCancel"}},
         {},
         WizardPage::brCancel,
         {"Serial", "Comm", "Network"},
         unchanged},
        {"Back shows again what was entered; the value survives to End",
         {{"Serial", 7, "cmdNext"},
          {"Comm", {}, "cmdBack"},
          {"Serial", {}, "cmdNext", 7},
          {"Comm", 4, "cmdNext"},
          {"Network", {}, "cmdNext"},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         {},
         WizardPage::brEnd,
         {"Serial", "Comm", "Serial", "Comm", "Network", "FWFinalSetupMessage"},
         {7, 4, 33}},
        {"a page left by Back keeps its committed value, one left by Cancel does not count",
         {{"Serial", {}, "cmdNext"},
          {"Comm", 9, "cmdBack"},
          {"Serial", {}, "cmdNext"},
          {"Comm", 5, "close"}},
         {},
         WizardPage::brCancel,
         {"Serial", "Comm", "Serial", "Comm"},
         unchanged},
        {"skipped pages are passed both ways and keep what SetData gave them",
         {{"Serial", {}, "cmdNext"},
          {"Comm", {}, "cmdNext"},
          {"FWFinalSetupMessage", {}, "cmdBack"},
          {"Comm", 6, "cmdNext"},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         skipNetwork,
         WizardPage::brEnd,
         {"Serial", "Comm", "FWFinalSetupMessage", "Comm", "FWFinalSetupMessage"},
         {11, 6, 33}},
        {"a handler stepping past the last page leaves the user where they were",
         {{"Serial", {}, "cmdNext"},
          {"Comm", {}, "cmdNext"},
          {"Network", {}, "cmdNext"},
          {"Network", {}, "cmdCancel"}},
         [](int& i, const QString&, bool next) {
             if (next && i == 4)
                 i = 9;
         },
         WizardPage::brCancel,
         {"Serial", "Comm", "Network", "Network"},
         unchanged},
        {"a handler stepping before the first page leaves the user where they were",
         {{"Serial", {}, "cmdNext"}, {"Comm", {}, "cmdBack"}, {"Comm", {}, "Escape"}},
         [](int& i, const QString&, bool next) {
             if (!next)
                 i = 0;
         },
         WizardPage::brCancel,
         {"Serial", "Comm", "Comm"},
         unchanged},
        {"Enter presses Next, then End on the last page; Esc cancels",
         {{"Serial", 8, "Enter"},
          {"Comm", {}, "Enter"},
          {"Network", {}, "Enter"},
          {"FWFinalSetupMessage", {}, "Enter"}},
         {},
         WizardPage::brEnd,
         {"Serial", "Comm", "Network", "FWFinalSetupMessage"},
         {8, 2, 33}},
        {"Esc on a page cancels the wizard",
         {{"Serial", 8, "Enter"}, {"Comm", 1, "Escape"}},
         {},
         WizardPage::brCancel,
         {"Serial", "Comm"},
         unchanged},
        {"the title bar's close box cancels",
         {{"Serial", 8, "cmdNext"}, {"Comm", 1, "close"}},
         {},
         WizardPage::brCancel,
         {"Serial", "Comm"},
         unchanged},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.what);
        Wizard w;
        ScriptedUser user(c.steps);
        user.Attach(w.tabs);
        QStringList beforeKeys;
        QObject::connect(&w.tabs, &CWizardTabs::BeforeShowTabs,
                         [&](int& i, const QList<WizardPage*>&, const QString& key) {
                             beforeKeys << QString::number(i) + ":" + key;
                         });
        if (c.skip) {
            QObject::connect(&w.tabs, &CWizardTabs::AfterShowNextTabs,
                             [&](int& i, const QList<WizardPage*>&, const QString& key) {
                                 c.skip(i, key, true);
                             });
            QObject::connect(&w.tabs, &CWizardTabs::AfterShowBackTabs,
                             [&](int& i, const QList<WizardPage*>&, const QString& key) {
                                 c.skip(i, key, false);
                             });
        }
        EXPECT_EQ(w.tabs.Start(), c.result);
        // Each page carries the wizard's caption; a screen reader hears the page's own title.
        for (int i = 1; i <= w.tabs.CountDialogs(); ++i) {
            if (!user.trail.contains(w.tabs.page(i)->objectName()))
                continue;
            EXPECT_EQ(w.tabs.page(i)->windowTitle(), "Demo wizard");
            EXPECT_EQ(w.tabs.page(i)->accessibleName(),
                      "Demo wizard - " + w.tabs.page(i)->title()->text());
        }
        EXPECT_EQ(user.trail.join(",").toStdString(), c.trail.join(",").toStdString());
        EXPECT_EQ(user.problems.join(" | ").toStdString(), "");
        EXPECT_EQ(beforeKeys.size(), c.trail.size());
        EXPECT_EQ(w.serial.NetworkAdd(), c.after.serial);
        EXPECT_EQ(w.comm.ComPort(), c.after.comm);
        EXPECT_EQ(w.network.NetworkAdd(), c.after.network);
    }
}

TEST(CWizardTabs, CancelLeavesEveryPropertyOfEveryRecord) {
    Wizard w;
    w.serial.setBaudRate(3);
    CSerialComm serialBefore;
    serialBefore.SetData(w.serial);
    CCommConfig commBefore;
    commBefore.SetData(w.comm);
    ScriptedUser user({{"Serial", 99, "cmdNext"},
                       {"Comm", 4, "cmdNext"},
                       {"Network", 1, "cmdBack"},
                       {"Comm", {}, "cmdCancel", 4}});
    user.Attach(w.tabs);
    EXPECT_EQ(w.tabs.Start(), WizardPage::brCancel);
    EXPECT_EQ(user.problems.join(" | ").toStdString(), "");
    EXPECT_TRUE(w.serial.SameData(serialBefore));
    EXPECT_TRUE(w.comm.SameData(commBefore));
}

TEST(CWizardTabs, AHandlerMayMoveTheIndexSeveralTimes) {
    Wizard w;
    QList<int> asked;
    // Each change raises the event again for the new index, until the handler leaves it.
    QObject::connect(&w.tabs, &CWizardTabs::AfterShowNextTabs,
                     [&](int& i, const QList<WizardPage*>& pages, const QString& key) {
                         asked << i;
                         EXPECT_EQ(pages.size(), 4);
                         if (key == "CCommConfig" || key == "CNetworkAddMsgSetup")
                             ++i;
                     });
    ScriptedUser user({{"Serial", {}, "cmdNext"}, {"FWFinalSetupMessage", {}, "cmdEnd"}});
    user.Attach(w.tabs);
    EXPECT_EQ(w.tabs.Start(), WizardPage::brEnd);
    EXPECT_EQ(asked, (QList<int>{2, 3, 4}));
    EXPECT_EQ(user.trail, (QStringList{"Serial", "FWFinalSetupMessage"}));
}

TEST(CWizardTabs, TheButtonsFollowThePagePosition) {
    Wizard w;
    struct Seen {
        bool back, next, end, nextDefault, endDefault;
    };
    QList<Seen> seen;
    for (int i = 1; i <= w.tabs.CountDialogs(); ++i) {
        WizardPage* page = w.tabs.page(i);
        QObject::connect(page, &WizardPage::Activated, page, [&seen, page] {
            seen << Seen{page->button("cmdBack")->isEnabled(), page->button("cmdNext")->isEnabled(),
                         page->button("cmdEnd")->isEnabled(), page->button("cmdNext")->isDefault(),
                         page->button("cmdEnd")->isDefault()};
            EXPECT_TRUE(page->button("cmdCancel")->isEnabled());
            EXPECT_FALSE(page->button("cmdDialogOk")->isVisible());
            for (QPushButton* b : page->findChildren<QPushButton*>())
                EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
        });
    }
    ScriptedUser user({{"Serial", {}, "cmdNext"},
                       {"Comm", {}, "cmdNext"},
                       {"Network", {}, "cmdNext"},
                       {"FWFinalSetupMessage", {}, "cmdCancel"}});
    user.Attach(w.tabs);
    w.tabs.Start();
    ASSERT_EQ(seen.size(), 4);
    const Seen expected[] = {
        {false, true, false, true, false},  // first: Back off, Next default
        {true, true, false, true, false},   // middle
        {true, true, false, true, false},
        {true, false, true, false, true},  // last: End on and default, Next off
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].back, expected[i].back);
        EXPECT_EQ(seen[i].next, expected[i].next);
        EXPECT_EQ(seen[i].end, expected[i].end);
        EXPECT_EQ(seen[i].nextDefault, expected[i].nextDefault);
        EXPECT_EQ(seen[i].endDefault, expected[i].endDefault);
    }
}

TEST(CWizardTabs, ARefusedPageStaysUntilItsValueIsAccepted) {
    Wizard w;
    w.p1->refused = 13;
    ScriptedUser user({{"Serial", 13, "cmdNext"},
                       {"Serial", 14, "cmdNext"},
                       {"Comm", {}, "cmdBack"},
                       {"Serial", 13, "cmdBack"},  // Back is disabled on the first page
                       {"Serial", {}, "cmdCancel"}});
    user.Attach(w.tabs);
    EXPECT_EQ(w.tabs.Start(), WizardPage::brCancel);
    EXPECT_EQ(user.trail, (QStringList{"Serial", "Serial", "Comm", "Serial", "Serial"}));
    ASSERT_EQ(user.problems.size(), 1);
    EXPECT_TRUE(user.problems[0].contains("cmdBack is not usable"));
    EXPECT_EQ(w.serial.NetworkAdd(), 11);
}

// One page: a dialog with OK and Cancel; Enter is OK, Esc is Cancel.
TEST(CWizardTabs, OnePageRunsAsADialog) {
    const struct {
        const char* press;
        std::optional<qint16> value;
        qint32 result;
        qint16 after;
    } cases[] = {
        {"cmdDialogOk", 5, WizardPage::brEnd, 5},         {"Enter", 6, WizardPage::brEnd, 6},
        {"cmdDialogCancel", 5, WizardPage::brCancel, 11}, {"Escape", 5, WizardPage::brCancel, 11},
        {"close", 5, WizardPage::brCancel, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        CSerialComm serial;
        serial.setNetworkAdd(11);
        CWizardTabs tabs;
        auto* page = new RecordPage<CSerialComm>("Serial", &CSerialComm::NetworkAdd,
                                                 &CSerialComm::setNetworkAdd);
        tabs.Add(page, &serial);
        bool dialogBar = false;
        QObject::connect(page, &WizardPage::Activated, page, [&] {
            dialogBar = page->button("cmdDialogOk")->isVisible() &&
                        page->button("cmdDialogOk")->isDefault() &&
                        !page->button("cmdNext")->isVisible() &&
                        !page->button("cmdEnd")->isVisible();
        });
        ScriptedUser user({{"Serial", c.value, c.press, 11}});
        user.Attach(page);
        EXPECT_EQ(tabs.Start(), c.result);
        EXPECT_TRUE(dialogBar);
        EXPECT_EQ(page->FormType(), WizardPage::ftDialog);
        EXPECT_EQ(user.problems.join(" | ").toStdString(), "");
        EXPECT_EQ(serial.NetworkAdd(), c.after);
    }
}

TEST(CWizardTabs, KeysRecordsAndReleasesPages) {
    CWizardTabs tabs;
    CSerialComm serial;
    CSerialComm second;
    tabs.Add(
        new RecordPage<CSerialComm>("A", &CSerialComm::NetworkAdd, &CSerialComm::setNetworkAdd),
        &serial);
    QPointer<WizardPage> refused =
        new RecordPage<CSerialComm>("B", &CSerialComm::NetworkAdd, &CSerialComm::setNetworkAdd);
    EXPECT_THROW(tabs.Add(refused, &second), VoltarisError);
    EXPECT_TRUE(refused.isNull());  // the refused page does not linger
    QPointer<WizardPage> final = new FWFinalSetupMessage;
    QPointer<WizardPage> final2 = new FWFinalSetupMessage;
    tabs.Add(final, nullptr);
    tabs.Add(final2, nullptr);  // pages without data have no key and never clash
    EXPECT_EQ(tabs.CountDialogs(), 3);
    EXPECT_EQ(tabs.PointerClass("CSerialComm"), &serial);
    EXPECT_EQ(tabs.PointerClass(""), nullptr);
    EXPECT_EQ(tabs.PointerClass("CAlarm1"), nullptr);

    tabs.setFileName("/tmp/x.ini");
    EXPECT_EQ(serial.FileName(), "/tmp/x.ini");

    tabs.RemoveAll();
    EXPECT_EQ(tabs.CountDialogs(), 0);
    EXPECT_TRUE(final.isNull());
    EXPECT_TRUE(final2.isNull());
    EXPECT_EQ(tabs.Start(), WizardPage::brCancel);  // nothing to show
}

TEST(FWFinalSetupMessage, TitleByActionAndTrace) {
    const struct {
        qint16 action;
        QString title;  // written before the page loads, empty for none
        int expected;   // string id, 0 for the written title
    } cases[] = {{0, {}, 370}, {1, {}, 371}, {2, {}, 370}, {1, "Done.", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        TraceCapture trace;
        FWFinalSetupMessage page;
        page.setAction(c.action);
        if (!c.title.isEmpty())
            page.setTitle(c.title);
        page.LoadPage();
        EXPECT_EQ(page.title()->text(), c.expected ? ResString(c.expected) : c.title);
        EXPECT_EQ(page.windowTitle(), page.title()->text());
        EXPECT_EQ(page.title()->font().pointSize(), 12);
        EXPECT_TRUE(trace.lines.contains("Load form:" + ResString(370)));
        // The common loading steps ran, in their order.
        const qsizetype font =
            trace.lines.indexOf("Fine impostazione del font per i controlli del form");
        const qsizetype captions =
            trace.lines.indexOf("Inizio caricamento dei caption dei controlli");
        EXPECT_GE(font, 0);
        EXPECT_GT(captions, font);
        for (const char* name : {"cmdEnd", "cmdCancel", "cmdNext", "cmdBack", "cmdDialogOk"})
            EXPECT_FALSE(page.button(name)->text().isEmpty()) << name;
        EXPECT_EQ(page.button("cmdDialogOk")->text(), ResString(2004));
    }
}

}  // namespace
