// The instrument commands of the main window, end to end: the communication wizard, the
// transfer window and the procedure against in-process simulated instruments in virtual time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <QColor>
#include <QLineEdit>
#include <QTableWidget>
#include "DesktopSupport.h"
#include "MemMapTestSupport.h"
#include "base/Clock.h"
#include "base/ResString.h"
#include "livedata/LivePoller.h"
#include "memmap/CGestioneMemMap.h"
#include "model/Configuration.h"
#include "shell/FSerialProgSetup.h"
#include "shell/FViewInstrData.h"
#include "sim/SimNetwork.h"
#include "sim/SimTransport.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::shell::FSerialProgSetup;
using voltaris::shell::FViewInstrData;

namespace {

constexpr qint32 kModelWithSerialModule = 0x00230001;  // output option 1: address and speed
constexpr int kSpeed38400 = 3;

// Runs the virtual clock from the event loop, so that a modal transfer window's procedure
// moves on; `each` runs before every step (a test acts on the window from there).
class ClockPump {
public:
    explicit ClockPump(VirtualClock& clock, std::function<void()> each = {})
        : m_each(std::move(each)) {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this, &clock] {
            if (m_each)
                m_each();
            if (clock.hasPending())
                clock.yield();
        });
        m_timer.start();
    }

private:
    std::function<void()> m_each;
    QTimer m_timer;
};

FSerialProgSetup* transferWindow() {
    return qobject_cast<FSerialProgSetup*>(QApplication::activeModalWidget());
}

// The desktop with its instrument commands on a simulated line.
struct InstrumentDesktop : Desktop {
    VirtualClock clock;
    SimNetwork net;
    int transportsMade = 0;

    InstrumentDesktop() {
        if (main)
            main->setInstrumentLine({&clock, [this](const QString&) {
                                         ++transportsMade;
                                         return std::unique_ptr<Transport>(
                                             std::make_unique<SimTransport>(net, clock));
                                     }});
    }
    // A listed configuration for `model` (made through New, then filled in the archive).
    qint32 store(qint32 model, const QString& name) {
        create(name);
        const qint32 id = main->IDProgramma();
        Configuration c;
        fillConfiguration(c, model, OutputUse::BothAlarms, name);
        c.update(archive, id);
        return id;
    }
    void setLink(qint16 iface, qint16 mode, qint16 sel, qint16 address) {
        main->m_CommConfigSetup.setInterfaceType(iface);
        main->m_NetworkAddMsg.setModeConfig(mode);
        main->m_NetworkAddMsg.setSelNetworkAdd(sel);
        main->m_NetworkAddMsg.setNetworkAdd(address);
        main->m_NetworkAddMsg.setTotalInstrNetwork(3);
    }
};

// Presses Next through the communication wizard and End on its last page.
QString nextToEnd(WizardPage* page) {
    return QString(page->button("cmdNext")->isEnabled() ? "cmdNext" : "cmdEnd");
}

TEST(TransferWindow, TransmitToOneInstrumentEndsWellAndTheInstrumentHoldsTheConfiguration) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    d.net.addInstrument(kModelWithSerialModule, 9, kSpeed38400);
    const qint32 id = d.store(kModelWithSerialModule, "Feeder");
    d.setLink(1, 0, 1, 9);
    ASSERT_TRUE(d.enabled("SendProg"));
    ASSERT_TRUE(d.enabled("mnuSendProgramma"));

    bool wholeNetworkOffered = true;
    bool automaticOffered = false;
    QString caption;
    PageDriver driver([&](WizardPage* page) {
        if (page->objectName() == "FWNetworkAddMsgSetup") {
            wholeNetworkOffered = page->findChild<QRadioButton*>("optModeConfig1")->isEnabled();
            automaticOffered = page->findChild<QRadioButton*>("optAutomatic")->isEnabled();
            caption = page->windowTitle();
        }
        return nextToEnd(page);
    });
    ClockPump pump(d.clock);
    d.main->findChild<QAction*>("SendProg")->trigger();

    EXPECT_EQ(driver.trail,
              QStringList({"FWCommConfig", "FWNetworkAddMsgSetup", "FWFinalSetupMessage"}));
    EXPECT_EQ(caption, ResString(793));
    // The network page knew it serves a single instrument.
    EXPECT_FALSE(wholeNetworkOffered);
    EXPECT_TRUE(automaticOffered);
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
    EXPECT_EQ(transferWindow(), nullptr);

    CGestioneMemMap expected(d.archive);
    expected.setIDProgramma(id);
    expected.ConvertUserSetupToMemoryMap();
    SimInstrument& instrument = d.net.instrument(0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(instrument.configWord(409 + i), expected.ParamMemMap(i)) << i;
    // The configuration gave the instrument address 247: the stored address followed it, in
    // the main window and in the settings store.
    EXPECT_EQ(d.net.lineAddress(0), 247);
    EXPECT_EQ(d.main->m_NetworkAddMsg.NetworkAdd(), 247);
    CNetworkAddMsgSetup stored;
    stored.LoadData(QString());
    EXPECT_EQ(stored.NetworkAdd(), 247);
    EXPECT_TRUE(d.log().contains("m_WizardInstrSendSetup_AfterShowNextTabs CNetworkAddMsgSetup"));
}

TEST(TransferWindow, ASilentInstrumentGivesExactlyOneMessage) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    d.store(0x00240004, "Nobody there");  // no instrument on the line
    d.setLink(1, 0, 1, 9);
    PageDriver driver(nextToEnd);
    ClockPump pump(d.clock);
    d.main->SendProgram();

    ASSERT_EQ(d.trace.messages.entries().size(), 1);
    const RecordingMessages::Entry& m = d.trace.messages.entries()[0];
    EXPECT_EQ(m.icon, UserMessages::Icon::Warning);
    EXPECT_EQ(m.title, ResString(208));
    EXPECT_TRUE(m.text.startsWith(ResString(228))) << m.text.toStdString();
    EXPECT_EQ(transferWindow(), nullptr);
    EXPECT_EQ(d.main->m_NetworkAddMsg.NetworkAdd(), 9);
}

// Over the auxiliary port the instrument is always at 255 without a search; the installer's
// network choices must survive it for the next command on the network.
TEST(TransferWindow, TheAuxiliaryPortWorksOnACopyOfTheNetworkChoices) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    d.net.addInstrument(0x00240004, 255, 0);
    d.net.setAuxiliary(true);
    d.setLink(0, 1, 0, 17);
    PageDriver driver(nextToEnd);
    ClockPump pump(d.clock);
    d.main->findChild<QAction*>("ResetAll")->trigger();

    EXPECT_EQ(driver.trail, QStringList({"FWCommConfig", "FWFinalSetupMessage"}));
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
    EXPECT_GT(d.net.answeredCount(), 0);
    EXPECT_EQ(d.main->m_NetworkAddMsg.ModeConfig(), 1);
    EXPECT_EQ(d.main->m_NetworkAddMsg.SelNetworkAdd(), 0);
    EXPECT_EQ(d.main->m_NetworkAddMsg.NetworkAdd(), 17);
    d.main->close();
    CNetworkAddMsgSetup stored;
    stored.LoadData(QString());
    EXPECT_EQ(stored.ModeConfig(), 1);
    EXPECT_EQ(stored.NetworkAdd(), 17);
}

// Cancel, Esc and the close box during the operation: the window closes once the procedure
// has ended, no message, nothing read is stored.
TEST(TransferWindow, CancellingDuringTheOperationClosesWithoutAMessage) {
    enum class How { Button, Escape, CloseBox };
    struct Case {
        const char* name;
        How how;
        bool read;
    };
    const Case cases[] = {{"cancel button, transmit", How::Button, false},
                          {"Esc, modify instrument", How::Escape, true},
                          {"close box, modify instrument", How::CloseBox, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstrumentDesktop d;
        ASSERT_TRUE(d.main);
        d.net.addInstrument(0x00240004, 9, kSpeed38400);
        d.store(0x00240004, "Feeder");
        d.setLink(1, 0, 1, 9);
        const QString during = ResString(c.read ? 203 : 201);
        bool acted = false;
        PageDriver driver(nextToEnd);
        ClockPump pump(d.clock, [&] {
            FSerialProgSetup* w = transferWindow();
            if (!w || acted || w->findChild<QLabel*>("Label5")->text() != during)
                return;
            acted = true;
            switch (c.how) {
                case How::Button:
                    w->findChild<QPushButton*>("cmdCancel")->click();
                    break;
                case How::Escape:
                    QTest::keyClick(w, Qt::Key_Escape);
                    break;
                case How::CloseBox:
                    w->close();
                    EXPECT_TRUE(w->isVisible());  // stays until the procedure has ended
                    break;
            }
        });
        if (c.read)
            d.main->ModifyInstrument();
        else
            d.main->SendProgram();

        EXPECT_TRUE(acted);
        EXPECT_TRUE(d.trace.messages.entries().isEmpty());
        EXPECT_TRUE(d.log().contains("Cancellata procedura TxRx"));
        EXPECT_EQ(transferWindow(), nullptr);
        // The configuration wizard never opened and no read was stored.
        EXPECT_EQ(driver.trail.filter("FWUsoInstr").size(), 0);
        EXPECT_FALSE(QFile::exists(d.home.file("MemoryMap.mem")));
    }
}

}  // namespace

namespace {

FViewInstrData* liveWindow() {
    return qobject_cast<FViewInstrData*>(QApplication::activeModalWidget());
}

// Live values of one instrument at a given address: the tables fill, the lamps leave grey,
// the address spin is off for a single instrument; Close stops polling without a message.
TEST(LiveWindow, ShowsTheInstrumentsValuesUntilClosed) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    d.net.addInstrument(0x00230004, 9, kSpeed38400);
    d.setLink(1, 0, 1, 9);
    ASSERT_TRUE(d.enabled("ViewZel2Var"));
    PageDriver driver(nextToEnd);
    QString voltage, caption;
    bool spinEnabled = true;
    QString lamp, expectedLamp;
    ClockPump pump(d.clock, [&] {
        FViewInstrData* w = liveWindow();
        if (!w || w->poller().CyclesShown() < 2)
            return;
        if (voltage.isEmpty()) {
            voltage = w->grid(CInstrViewVar::Electrical)->item(0, 2)->text();  // VLN L1
            caption = w->windowTitle();
            spinEnabled = w->findChild<QLineEdit*>("txtNetworkAdd")->isEnabled();
            lamp = w->findChild<QLabel*>("LedAlarm")->styleSheet();
            const quint32 bgr = w->poller().LedAlarm();
            expectedLamp = QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int(bgr >> 16)).name();
            w->findChild<QPushButton*>("cmdClose")->click();
        }
    });
    d.main->findChild<QAction*>("ViewZel2Var")->trigger();

    EXPECT_EQ(driver.trail,
              QStringList({"FWCommConfig", "FWNetworkAddMsgSetup", "FWFinalSetupMessage"}));
    EXPECT_FALSE(voltage.isEmpty());
    EXPECT_NE(voltage, ResString(1760));  // a value, not "-----"
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_FALSE(spinEnabled);
    // The lamp shows the poller's state (this instrument's output 1 is no alarm output: grey).
    EXPECT_TRUE(lamp.contains(expectedLamp)) << lamp.toStdString();
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
    EXPECT_EQ(liveWindow(), nullptr);
}

// An instrument that stops answering: one message, and the window closes.
TEST(LiveWindow, ASilentInstrumentEndsWithOneMessage) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    d.setLink(1, 0, 1, 9);  // nobody on the line
    PageDriver driver(nextToEnd);
    ClockPump pump(d.clock);
    d.main->ViewInstrumentData();
    ASSERT_EQ(d.trace.messages.entries().size(), 1);
    EXPECT_EQ(d.trace.messages.entries()[0].title, ResString(208));
    EXPECT_EQ(liveWindow(), nullptr);
}

}  // namespace

namespace {

// All instruments of a network: the spin runs 1..3; an address that does not answer clears the
// tables, greys the lamps and says it is silent, without a message, and polling goes on; back
// on an instrument that answers, its values come back.
TEST(LiveWindow, ANetworksSilentAddressIsShownAsSilent) {
    InstrumentDesktop d;
    ASSERT_TRUE(d.main);
    // Address 1 has output 1 as an alarm output with its alarm on: a red lamp.
    SimInstrument& first = d.net.addInstrument(0x00230004, 1, kSpeed38400);
    first.holdRegister(422, 0x00AA);
    first.holdRegister(259, 1);
    d.net.addInstrument(0x00230004, 2, kSpeed38400);
    d.setLink(2, 1, 1, 1);  // network, all instruments, 3 of them
    PageDriver driver(nextToEnd);
    int step = 0;
    qint64 cyclesAtChange = 0;
    int spinMax = 0;
    QString silentText, redLamp, silentLamp, backValue;
    ClockPump pump(d.clock, [&] {
        FViewInstrData* w = liveWindow();
        if (!w)
            return;
        auto* silent = w->findChild<QLabel*>("lblSilent");
        const qint64 cycles = w->poller().CyclesShown();
        if (step == 0 && cycles >= 1) {
            spinMax = w->poller().AddressMax();
            redLamp = w->findChild<QLabel*>("LedAlarm")->styleSheet();
            w->poller().ChangeAddress(3);  // nobody there
            cyclesAtChange = cycles;
            step = 1;
        } else if (step == 1 && silent->isVisible()) {
            silentText = silent->text();
            silentLamp = w->findChild<QLabel*>("LedAlarm")->styleSheet();
            w->poller().ChangeAddress(2);
            step = 2;
        } else if (step == 2 && cycles > cyclesAtChange && !silent->isVisible()) {
            backValue = w->grid(CInstrViewVar::Electrical)->item(0, 2)->text();
            w->findChild<QPushButton*>("cmdClose")->click();
            step = 3;
        }
    });
    d.main->ViewInstrumentData();
    EXPECT_EQ(step, 3);
    EXPECT_EQ(spinMax, 3);
    EXPECT_EQ(silentText, FormatResString(2932, "3"));
    EXPECT_TRUE(redLamp.contains("#ff0000")) << redLamp.toStdString();
    EXPECT_TRUE(silentLamp.contains("#808080")) << silentLamp.toStdString();
    EXPECT_NE(backValue, ResString(1760));
    EXPECT_TRUE(d.trace.messages.entries().isEmpty());
}

}  // namespace

namespace {

// Modify instrument to the end: the instrument's configuration is read into the reserved slot,
// edited (here: the name and the serial module's speed), written back; the archive question
// decides whether a copy is listed.
TEST(TransferWindow, ModifyInstrumentReadsEditsAndWritesBack) {
    for (const bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archived" : "not archived");
        InstrumentDesktop d;
        ASSERT_TRUE(d.main);
        d.net.addInstrument(kModelWithSerialModule, 9, kSpeed38400);
        d.store(kModelWithSerialModule, "Feeder");
        d.setLink(1, 0, 1, 9);
        ClockPump pump(d.clock);
        {
            PageDriver send(nextToEnd);
            d.main->SendProgram();  // the instrument now holds the stored configuration
        }
        ASSERT_TRUE(d.trace.messages.entries().isEmpty());
        const int listed = d.grid()->rowCount();

        RecordingMessages answers(archive ? UserMessages::Answer::Yes : UserMessages::Answer::No);
        ScopedMessages scope(&answers);
        PageDriver driver([](WizardPage* page) {
            if (auto* name = page->findChild<QLineEdit*>("txtProgramName"))
                name->setText("Edited on the instrument");
            if (auto* speed = page->findChild<QRadioButton*>("optBaudRate2"))
                speed->click();
            return nextToEnd(page);
        });
        d.main->ModifyInstrument();

        EXPECT_TRUE(driver.trail.contains("FWUsoInstr"));
        ASSERT_EQ(answers.entries().size(), 1);  // the archive question only
        EXPECT_EQ(answers.entries()[0].text, ResString(797));
        // The reserved slot holds the edit; the instrument got it (its serial module's speed).
        Configuration slot;
        slot.load(d.archive, Archive::ReservedId);
        EXPECT_EQ(slot.UsoInstr().NomeProgramma(), "Edited on the instrument");
        EXPECT_EQ(slot.SerialComm().BaudRate(), 2);
        EXPECT_EQ(d.net.instrument(0).configWord(418), 2) << "the serial module's speed";
        EXPECT_EQ(d.grid()->rowCount(), listed + (archive ? 1 : 0));
        EXPECT_EQ(transferWindow(), nullptr);
    }
}

}  // namespace
