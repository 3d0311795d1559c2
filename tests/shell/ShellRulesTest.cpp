#include <gtest/gtest.h>

#include <QStringList>

#include "shell/ShellRules.h"

using namespace voltaris::shell;

namespace {

// The configuration wizard's pages in order, by the class name of their record.
const QStringList kPages = {
    "CUsoInstr", "CDigOutConfig", "CPulseOutSetup1",  "CAlarm1",          "CPulseOutSetup2",
    "CAlarm2",   "CSerialComm",   "CAnalogOutSetup1", "CAnalogOutSetup2", "CAnalogOutSetup3",
    ""};

// The pages (1-based) a user walks through with Next from the first page to the last, and
// back again with Back: the skip handler applied as the wizard applies it.
QList<int> Walk(const WizardChoices& c, bool forward) {
    QList<int> trail;
    int i = forward ? 1 : int(kPages.size());
    trail << i;
    while (forward ? i < kPages.size() : i > 1) {
        int t = i + (forward ? 1 : -1);
        while (!ConfigPageShown(kPages[t - 1], c))
            t += forward ? 1 : -1;
        i = t;
        trail << i;
    }
    return trail;
}

TEST(ConfigPageShown, PageTrailsByModelAndOutputs) {
    const struct {
        const char* what;
        qint32 model;
        qint16 digOut1, digOut2, numAlarm1, numAlarm2;
        QList<int> next;
    } cases[] = {
        {"R2: alarm output 1 with 2 alarms, pulses on output 2",
         0x00230004,
         1,
         0,
         2,
         0,
         {1, 2, 4, 5, 11}},
        {"R2: both outputs pulses", 0x00230004, 0, 0, 0, 0, {1, 2, 3, 5, 11}},
        {"R2: both alarms", 0x00230004, 1, 1, 3, 4, {1, 2, 4, 6, 11}},
        {"R2: output 1 alarm with no alarm shows neither of its pages",
         0x00230004,
         1,
         2,
         0,
         0,
         {1, 2, 11}},
        {"RS (16): output 2's pages never, the serial module's always",
         0x00230010,
         0,
         0,
         0,
         0,
         {1, 2, 3, 7, 11}},
        {"A3: three analogue outputs", 0x00230303, 0, 0, 0, 0, {1, 8, 9, 10, 11}},
        {"A1: one analogue output", 0x00230103, 0, 0, 0, 0, {1, 8, 11}},
        {"V1: one analogue output", 0x00230102, 0, 0, 0, 0, {1, 8, 11}},
        {"S1: only the serial module", 0x00230001, 0, 0, 0, 0, {1, 7, 11}},
        {"type 5: digital and serial", 0x00230005, 1, 0, 16, 0, {1, 2, 4, 5, 7, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WizardChoices choices = ChoicesOfModel(c.model);
        choices.DigOut1 = c.digOut1;
        choices.DigOut2 = c.digOut2;
        choices.NumAlarm1 = c.numAlarm1;
        choices.NumAlarm2 = c.numAlarm2;
        EXPECT_EQ(Walk(choices, true), c.next);
        QList<int> back(c.next.rbegin(), c.next.rend());
        EXPECT_EQ(Walk(choices, false), back);
    }
}

TEST(CommWizard, TheNetworkPageIsLeftOutOnlyForTheAuxiliaryPort) {
    struct Case {
        const char* page;
        qint16 interfaceType;
        bool shown;
    };
    const Case cases[] = {
        {"CNetworkAddMsgSetup", 0, false},
        {"CNetworkAddMsgSetup", 1, true},
        {"CNetworkAddMsgSetup", 2, true},
        {"CCommConfig", 0, true},
        {"", 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommPageShown(c.page, c.interfaceType), c.shown)
            << c.page << " " << c.interfaceType;
}

TEST(CommWizard, TheModifyCommandShowsTheNetworkPageAConnectionTypeThreeHigher) {
    for (qint16 iface : {1, 2}) {
        EXPECT_EQ(NetworkPageInterfaceType(iface, false), iface);
        EXPECT_EQ(NetworkPageInterfaceType(iface, true), iface + 3);
    }
}

TEST(AddressAfterTransfer, OnlyAWriteToASingleInstrumentMovesTheStoredAddress) {
    struct Case {
        qint16 iface;
        qint32 action;
        qint16 instrumentNow;
        qint16 kept;
    };
    constexpr qint16 stored = 9;
    const Case cases[] = {
        {1, -1, 247, 247},                   // the configuration gave the instrument a new address
        {1, -1, 9, 9},     {1, -2, 247, 9},  // a read never changes the address
        {1, 0, 247, 9},    {2, -1, 247, 9},  // a network keeps its addresses
        {0, -1, 247, 9},   {1, -1, 0, 9},    // nothing reached the instrument
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressAfterTransfer(c.iface, c.action, stored, c.instrumentNow), c.kept)
            << c.iface << " " << c.action << " " << c.instrumentNow;
}

TEST(ChoicesOfModel, TheTwoLowBytes) {
    const WizardChoices c = ChoicesOfModel(qint32(0xFF230304u));
    EXPECT_EQ(c.L, 4);
    EXPECT_EQ(c.A, 3);
}

TEST(WindowPlacement, SavedByState) {
    const WindowPlacement stored{1500, 1500, 9000, 6000, 2};
    const QRect normal(200, 100, 640, 480);
    const struct {
        int state;
        WindowPlacement saved;
    } cases[] = {
        {0, {3000, 1500, 9600, 7200, 0}},
        {2, {1500, 1500, 9000, 6000, 2}},  // maximised: the last normal geometry stays
        {1, {1500, 1500, 9000, 6000, 0}},  // minimised: never restored minimised
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        const WindowPlacement p = PlacementToSave(stored, normal, c.state);
        EXPECT_EQ(p.left, c.saved.left);
        EXPECT_EQ(p.top, c.saved.top);
        EXPECT_EQ(p.width, c.saved.width);
        EXPECT_EQ(p.height, c.saved.height);
        EXPECT_EQ(p.state, c.saved.state);
    }
}

TEST(WindowPlacement, OpensOnAScreenAtLeastAtTheSmallestSize) {
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        const char* what;
        WindowPlacement stored;
        QRect expected;
    } cases[] = {
        {"the defaults: 100, 100 twips, raised to the smallest height", {}, QRect(6, 6, 453, 267)},
        {"as stored", {1500, 3000, 9000, 6000, 0}, QRect(100, 200, 600, 400)},
        {"on the second screen", {30000, 1500, 9000, 6000, 0}, QRect(2000, 100, 600, 400)},
        {"beyond every screen: moved onto the nearest",
         {60000, 60000, 9000, 6000, 0},
         QRect(1320, 680, 600, 400)},
        {"above the top: moved down", {1500, -9000, 9000, 6000, 0}, QRect(100, 0, 600, 400)},
        {"larger than the screen: cut to it", {0, 0, 40000, 30000, 0}, QRect(0, 0, 1920, 1080)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PlacementRect(c.stored, screens), c.expected);
    }
}

TEST(SafeFileName, KeepsWhatAFileNameMayHold) {
    const struct {
        QString name, file;
    } cases[] = {
        {"Line A", "Line A"},
        {"Feeder 3/4: main", "Feeder 3_4_ main"},
        {"a\\b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"  spaced. ", "spaced"},
        {"Fëeder ☃", "Fëeder ☃"},
        {"", "configuration"},
        {"...", "configuration"},
        {QString("tab\there"), "tab_here"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFileName(c.name), c.file) << c.name.toStdString();
}

}  // namespace
