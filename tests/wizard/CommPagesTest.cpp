#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>

#include "DemoWizard.h"
#include "WizardTestSupport.h"
#include "wizard/FWNetworkAddMsgSetup.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::wizard::NetworkPageEnabling;
using voltaris::wizard::NetworkPageRules;
using voltaris::wizard::WizardPage;

namespace {

// (connection type, mode, address choice, variant) -> what the network page offers.
TEST(NetworkPageRules, Table) {
    const struct {
        qint16 type, mode, sel, action;
        NetworkPageEnabling expected;
    } cases[] = {
        // one instrument on a single line: searched or given address
        {1, 0, 0, 0, {false, true, true, false, false, true}},
        {1, 0, 1, 0, {false, true, true, true, false, true}},
        // a network: one instrument by its address, or all of them
        {2, 0, 1, 0, {true, true, false, true, false, true}},
        {2, 1, 1, 0, {true, false, false, false, true, true}},
        {2, 1, 0, 1, {true, false, false, false, true, false}},
        // read, edit and write back (type + 3): only a given address
        {4, 0, 1, 0, {false, true, false, true, false, true}},
        {5, 0, 1, 0, {false, true, false, true, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.mode << "/" << c.sel);
        const NetworkPageEnabling r = NetworkPageRules(c.type, c.mode, c.sel, c.action);
        EXPECT_EQ(r.wholeNetworkOption, c.expected.wholeNetworkOption);
        EXPECT_EQ(r.addressGroup, c.expected.addressGroup);
        EXPECT_EQ(r.automaticOption, c.expected.automaticOption);
        EXPECT_EQ(r.addressSpin, c.expected.addressSpin);
        EXPECT_EQ(r.totalInstruments, c.expected.totalInstruments);
        EXPECT_EQ(r.instructions, c.expected.instructions);
    }
    // The page offers what the operations accept (the command line checks the same record).
    for (qint16 type : {1, 2}) {
        const auto choices = CNetworkAddMsgSetup::ChoicesFor(type);
        EXPECT_EQ(NetworkPageRules(type, 0, 0, 0).automaticOption, choices.searchedAddress);
        EXPECT_EQ(NetworkPageRules(type, 0, 0, 0).wholeNetworkOption, choices.wholeNetwork);
    }
}

// The demonstration wizard: the communication pages over real records, with the skip rule.
struct DemoCase {
    const char* what;
    qint16 type;  // stored connection type before the wizard
    QList<UserStep> steps;
    qint32 result;
    QStringList trail;
    QString summary;  // empty: the records as they were
};

TEST(CommPages, RunInTheDemonstrationWizard) {
    const DemoCase cases[] = {
        {"the auxiliary port passes over the network page both ways",
         1,
         {{"FWCommConfig", {}, "cmdNext", {}, {"optInterfaceType0", "optComPort2"}},
          {"FWSerialComm", 200, "cmdBack"},
          {"FWCommConfig", {}, "cmdNext"},
          {"FWSerialComm", {}, "cmdNext", 200, {"optBaudRate3"}},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         WizardPage::brEnd,
         {"FWCommConfig", "FWSerialComm", "FWCommConfig", "FWSerialComm", "FWFinalSetupMessage"},
         "CCommConfig: InterfaceType=0 ComPort=2\n"
         "CNetworkAddMsgSetup: ModeConfig=0 SelNetworkAdd=0 NetworkAdd=1 TotalInstrNetwork=255\n"
         "CSerialComm: NetworkAdd=200 BaudRate=3\n"},
        {"a network: all instruments, their number, and the address choice disabled",
         1,
         {{"FWCommConfig", {}, "cmdNext", {}, {"optInterfaceType2"}},
          {"FWNetworkAddMsgSetup", {}, "cmdNext", {}, {"optModeConfig1"}},
          {"FWSerialComm", {}, "cmdNext"},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         WizardPage::brEnd,
         {"FWCommConfig", "FWNetworkAddMsgSetup", "FWSerialComm", "FWFinalSetupMessage"},
         "CCommConfig: InterfaceType=2 ComPort=1\n"
         "CNetworkAddMsgSetup: ModeConfig=1 SelNetworkAdd=1 NetworkAdd=1 TotalInstrNetwork=255\n"
         "CSerialComm: NetworkAdd=1 BaudRate=0\n"},
        {"cancel on the last page keeps every record",
         1,
         {{"FWCommConfig", {}, "cmdNext", {}, {"optInterfaceType2"}},
          {"FWNetworkAddMsgSetup", {}, "cmdNext", {}, {"optModeConfig1"}},
          {"FWSerialComm", 9, "cmdNext"},
          {"FWFinalSetupMessage", {}, "Escape"}},
         WizardPage::brCancel,
         {"FWCommConfig", "FWNetworkAddMsgSetup", "FWSerialComm", "FWFinalSetupMessage"},
         {}},
    };
    for (const DemoCase& c : cases) {
        SCOPED_TRACE(c.what);
        demo::DemoWizard w;
        w.comm.setInterfaceType(c.type);
        const QString before = w.Summary();
        ScriptedUser user(c.steps);
        user.Attach(w.tabs);
        EXPECT_EQ(w.Run(), c.result);
        EXPECT_EQ(user.trail.join(",").toStdString(), c.trail.join(",").toStdString());
        EXPECT_EQ(user.problems.join(" | ").toStdString(), "");
        EXPECT_EQ(w.Summary().toStdString(),
                  (c.summary.isEmpty() ? before : c.summary).toStdString());
    }
}

// What the network page offers as the user changes the mode, for each connection type.
TEST(CommPages, TheNetworkPageFollowsTheModeAndTheConnection) {
    const struct {
        qint16 type;
        QStringList clicks;
        bool allOption, automatic, address, total;
        qint16 selAfter;  // the address choice shown
    } cases[] = {
        {1, {}, false, true, false, false, 0},
        {1, {"optManual"}, false, true, true, false, 1},
        // a network has no search: the automatic choice moves to the manual one
        {2, {}, true, false, true, false, 1},
        {2, {"optModeConfig1"}, true, false, false, true, 1},
        {2, {"optModeConfig1", "optModeConfig0"}, true, false, true, false, 1},
        {4, {}, false, false, true, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.clicks.join(",").toStdString());
        CNetworkAddMsgSetup record;
        record.setInterfaceType(c.type);
        wizard::FWNetworkAddMsgSetup page;
        page.SetData(record);
        page.setFormType(WizardPage::ftDialog);
        bool checked = false;
        QObject::connect(&page, &WizardPage::Activated, &page, [&] {
            QTimer::singleShot(0, &page, [&] {
                for (const QString& name : c.clicks)
                    page.findChild<QAbstractButton*>(name)->click();
                auto enabled = [&](const char* name) {
                    return page.findChild<QWidget*>(name)->isEnabled();
                };
                EXPECT_EQ(enabled("optModeConfig1"), c.allOption);
                EXPECT_EQ(enabled("optAutomatic"), c.automatic);
                EXPECT_EQ(enabled("txtNetworkAdd"), c.address);
                EXPECT_EQ(enabled("txtTotalInstrNetwork"), c.total);
                EXPECT_EQ(enabled("frmTotalInstrNetwork"), c.total);
                EXPECT_EQ(page.m_SelNetworkAdd.Value(), c.selAfter);
                checked = true;
                page.button("cmdDialogOk")->click();
            });
        });
        EXPECT_EQ(page.ShowModal(), WizardPage::brEnd);
        EXPECT_TRUE(checked);
        page.GetData(record);
        EXPECT_EQ(record.SelNetworkAdd(), c.selAfter);
    }
}

}  // namespace
