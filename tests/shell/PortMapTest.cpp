#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "TestSupport.h"
#include "TraceCapture.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "comm/Ports.h"
#include "shell/FPortMap.h"
#include "shell/ShellRules.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::shell::FPortMap;
using voltaris::shell::PortEntryAccepted;

namespace {

TEST(PortEntryAccepted, DevicesGatewaysOrNothing) {
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {
        {"", true},
        {"  ", true},
        {"/dev/ttyUSB0", true},
        {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", true},
        {"tcp://10.0.0.5:4001", true},
        {"TCP://gateway.local:502", true},
        {"tcp://nohost", false},
        {"tcp://host:99999", false},
        {"COM1", false},  // a COM name cannot stand for itself
        {"ttyUSB0", false},
        {"ftp://x/y", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortEntryAccepted(c.text), c.accepted) << c.text;
}

// The present ports are offered by their stable name; OK stores what each COM stands for,
// Cancel nothing; an entry that is neither a device nor a gateway keeps the dialog open.
TEST(FPortMap, OffersThePresentPortsAndStoresTheChoices) {
    TempDir dir;
    ScopedSettingsFile settings(dir.file("Voltaris.ini"));
    TraceCapture trace;
    const QList<SerialPortEntry> present = {
        {"/dev/ttyS0", "", "", ""},
        {"/dev/ttyUSB0", "usb-FTDI_FT232R-if00-port0", "FTDI", "FT232R USB UART"},
    };
    {
        FPortMap map(nullptr, present);
        EXPECT_EQ(map.windowTitle(), ResString(2930));
        EXPECT_EQ(map.port(0)->currentText(), "/dev/ttyUSB0");  // the default of COM1
        QStringList offered;
        for (int i = 0; i < map.port(1)->count(); ++i)
            offered << map.port(1)->itemText(i);
        EXPECT_EQ(offered,
                  (QStringList{"/dev/ttyS0", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"}));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(map.findChild<QLabel*>(QString("lblCOM%1").arg(i + 1))->buddy(), map.port(i));

        map.port(0)->setCurrentIndex(1);
        map.port(1)->setCurrentText("tcp://10.0.0.5:4001");
        map.port(2)->setCurrentText("ttyUSB9");  // refused: no path
        map.accept();
        EXPECT_EQ(map.result(), QDialog::Rejected);  // still open
        ASSERT_EQ(trace.messages.entries().size(), 1);
        EXPECT_TRUE(trace.messages.entries()[0].text.startsWith("COM3"));
        EXPECT_EQ(SettingsStore().value("Ports", "COM1"), "");  // nothing stored yet

        map.port(2)->setCurrentText("");  // back to the default
        map.accept();
        EXPECT_EQ(map.result(), QDialog::Accepted);
    }
    EXPECT_EQ(PortNameForIndex(0), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(PortNameForIndex(1), "tcp://10.0.0.5:4001");
    EXPECT_EQ(PortNameForIndex(2), "/dev/ttyUSB2");

    FPortMap again(nullptr, present);
    EXPECT_EQ(again.port(1)->currentText(), "tcp://10.0.0.5:4001");
    again.port(1)->setCurrentText("/dev/ttyS0");
    again.reject();
    EXPECT_EQ(PortNameForIndex(1), "tcp://10.0.0.5:4001");
}

}  // namespace
