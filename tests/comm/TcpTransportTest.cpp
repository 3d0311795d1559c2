#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include "LinkTestSupport.h"
#include "RealTimeSupport.h"
#include "TestSupport.h"
#include "base/ResString.h"
#include "base/SettingsStore.h"
#include "comm/LinkExchange.h"
#include "comm/PortMessages.h"
#include "comm/Ports.h"
#include "comm/SerialPorts.h"
#include "comm/TcpTransport.h"

using namespace voltaris;
using namespace voltaris::test;
using Fault = Transport::Fault;

namespace {

// A serial-to-Ethernet gateway on the loopback: accepts one connection.
struct Gateway {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    Gateway() {
        EnsureCoreApp();
        server.listen(QHostAddress::LocalHost, 0);
    }
    QString url() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort()); }
    bool accept() {
        if (!WaitFor([&] { return server.hasPendingConnections(); }))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
    QByteArray read(int count) {
        QByteArray out;
        WaitFor([&] {
            out += peer->readAll();
            return out.size() >= count;
        });
        return out;
    }
    void write(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }
};

// A port nobody listens on.
quint16 closedPort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

TEST(TcpLink, ExchangeThroughTheLinkInPieces) {
    TraceCapture trace;
    Gateway gw;
    ASSERT_TRUE(gw.server.isListening());
    WirrelObj component(Clock::real());
    StandaloneLink standalone(Clock::real(), component);
    CWirrel& link = standalone.link;
    link.setPortName(gw.url());
    ASSERT_TRUE(link.OpenRs232(1, 4, 0, 0)) << link.OpenErrorText().toStdString();
    ASSERT_TRUE(gw.accept());
    link.setDTR(true);  // no control lines on a gateway: traced, ignored
    EXPECT_TRUE(component.PortOpen());

    const QByteArray request = BuildReadRequest(9, kRegParam, 10);
    QList<qint16> words;
    for (int i = 0; i < 10; ++i)
        words << qint16(i * 1000 - 3000);
    const QByteArray reply = ReadReply(9, words);
    link.setCommMode(1);
    link.setFrameTx(request);
    link.setByteToReceive(qint16(ReadReplyLength(10)));
    link.StartTxRx();
    EXPECT_EQ(gw.read(8), request);
    gw.write(reply.left(10));
    Pump(30);
    gw.write(reply.mid(10));
    ASSERT_TRUE(WaitFor([&] { return !link.TxRxInProgress(); }, 5000));
    EXPECT_EQ(link.Error(), CWirrel::leOk);
    EXPECT_EQ(ReplyWords(link.FrameRx(), 10), QVector<qint16>(words.begin(), words.end()));
    EXPECT_EQ(trace.lines.filter("DTR non supportato").size(), 1);
    link.CloseRs232();
    EXPECT_FALSE(component.PortOpen());
}

TEST(TcpLink, RefusedConnectionFailsTheOpenWith209) {
    TraceCapture trace;
    EnsureCoreApp();
    const QString url = QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort());
    WirrelObj component(Clock::real());
    StandaloneLink standalone(Clock::real(), component);
    CWirrel& link = standalone.link;
    link.setPortName(url);
    EXPECT_FALSE(link.OpenRs232(1, 4, 0, 0));
    EXPECT_TRUE(link.OpenErrorText().startsWith(ResString(209)))
        << link.OpenErrorText().toStdString();
    EXPECT_TRUE(link.OpenErrorText().contains(url));
    EXPECT_EQ(
        trace.lines,
        QStringList{"Porta " + url + QString::fromUtf8(" già aperta o non presente sul sistema.")});
}

TEST(TcpLink, GatewayClosingIsOneEndOfFile) {
    Gateway gw;
    TcpTransport line("127.0.0.1", gw.server.serverPort());
    QList<Fault> faults;
    QObject::connect(&line, &Transport::faultOccurred,
                     [&](Fault f, const QString&) { faults.append(f); });
    ASSERT_TRUE(line.open({}));
    EXPECT_TRUE(line.isOpening());
    ASSERT_TRUE(WaitFor([&] { return line.isOpen(); }));
    ASSERT_TRUE(gw.accept());
    gw.peer->close();
    ASSERT_TRUE(WaitFor([&] { return !faults.isEmpty(); }));
    Pump(100);
    EXPECT_EQ(faults, QList<Fault>{Fault::EndOfFile});
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.write("x"), -1);
}

TEST(TcpLink, ControlLinesAreRefused) {
    Gateway gw;
    TcpTransport line("127.0.0.1", gw.server.serverPort());
    ASSERT_TRUE(line.open({}));
    ASSERT_TRUE(WaitFor([&] { return line.isOpen(); }));
    EXPECT_FALSE(line.setDtr(true));
    EXPECT_EQ(line.lastFault(), Fault::Unsupported);
    EXPECT_TRUE(line.dtr());
    EXPECT_TRUE(line.isOpen());
}

TEST(TcpLink, Urls) {
    struct Case {
        const char* url;
        bool ok;
        const char* host;
        quint16 port;
    };
    const Case cases[] = {
        {"tcp://127.0.0.1:502", true, "127.0.0.1", 502},
        {"TCP://gw-3.plant.local:4001", true, "gw-3.plant.local", 4001},
        {"tcp://[::1]:65535", true, "::1", 65535},
        {"tcp://host", false, "", 0},
        {"tcp://:502", false, "", 0},
        {"tcp://host:0", false, "", 0},
        {"tcp://host:70000", false, "", 0},
        {"tcp://host:12x", false, "", 0},
        {"tcp://ho st:1", false, "", 0},
        {"udp://host:1", false, "", 0},
    };
    for (const auto& c : cases) {
        QString host;
        quint16 port = 0;
        EXPECT_EQ(TcpTransport::parseUrl(c.url, &host, &port), c.ok) << c.url;
        if (c.ok) {
            EXPECT_EQ(host, c.host) << c.url;
            EXPECT_EQ(port, c.port) << c.url;
        }
    }
    EXPECT_EQ(TcpTransport("::1", 7).name(), "tcp://[::1]:7");
}

// Points the settings store at a scratch file for one test.
struct ScratchStore {
    TempDir dir;
    ScopedSettingsFile settings{dir.file("Voltaris.ini")};
};

TEST(Ports, OnlyComOneToFourAreComPorts) {
    const struct {
        const char* name;
        int index;  // -1: not a COM port
    } cases[] = {
        {"COM1", 0},   {"com4", 3},       {" Com2 ", 1}, {"COM0", -1},
        {"COM5", -1},  {"COM10", -1},     {"COM", -1},   {"COM1x", -1},
        {"COM 1", -1}, {"/dev/COM1", -1}, {"", -1},      {"tcp://COM1:1", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<int> index = ComPortIndex(QString::fromLatin1(c.name));
        EXPECT_EQ(index.value_or(-1), c.index);
    }
}

TEST(Ports, ComNamesComeFromTheSettingsStore) {
    EnsureCoreApp();
    ScratchStore scratch;
    EXPECT_EQ(PortNameForIndex(0), "/dev/ttyUSB0");
    EXPECT_EQ(PortNameForIndex(3), "/dev/ttyUSB3");
    EXPECT_EQ(PortNameForIndex(-1), "");
    {
        SettingsStore store;
        store.setValue("Ports", "COM2", "tcp://10.0.0.5:4001");
        store.setValue("Ports", "COM3", "/dev/ttyS0");
        store.sync();
    }
    EXPECT_EQ(PortNameForIndex(1), "tcp://10.0.0.5:4001");
    EXPECT_EQ(ResolvePortName("com2"), "tcp://10.0.0.5:4001");
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName(" /dev/pts/7 "), "/dev/pts/7");
    EXPECT_EQ(ResolvePortName("tcp://gw:1"), "tcp://gw:1");
    EXPECT_EQ(ResolvePortName(" COM5 "), "COM5");  // beyond COM4: a device name like any other

    // An override for this run wins over the settings and is never stored.
    SetPortOverride(2, "/dev/pts/9");
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/pts/9");
    EXPECT_EQ(SettingsStore().value("Ports", "COM3"), "/dev/ttyS0");
    SetPortOverride(2, "");
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/ttyS0");

    EXPECT_EQ(CreateTransport("COM2")->name(), "tcp://10.0.0.5:4001");
    EXPECT_EQ(CreateTransport("COM3")->name(), "/dev/ttyS0");
    for (const char* bad : {"tcp://nohost", "", "ftp://x/y"}) {
        try {
            CreateTransport(bad);
            ADD_FAILURE() << bad;
        } catch (const VoltarisError& e) {
            EXPECT_TRUE(e.message().contains("COM1 to COM4")) << bad;
        }
    }
}

// A by-id folder whose links lead to device files made for the test: the COM names are matched
// to the present ports through their links, and a missing device or a gateway matches none.
TEST(Ports, ComNamesAreMatchedToThePresentPortsThroughLinks) {
    EnsureCoreApp();
    ScratchStore scratch;
    TempDir dir;
    const QString dev = dir.path() + "/dev", byId = dir.path() + "/by-id";
    ASSERT_TRUE(QDir().mkpath(dev) && QDir().mkpath(byId));
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"}) {
        QFile f(dev + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString ftdi = byId + "/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    ASSERT_TRUE(QFile::link(dev + "/ttyUSB0", ftdi));
    ASSERT_TRUE(QFile::link("../dev/ttyUSB1", byId + "/usb-Prolific_PL2303-if00-port0"));

    EXPECT_EQ(ByIdName(dev + "/ttyUSB0", byId), "usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    EXPECT_EQ(ByIdName(dev + "/ttyUSB1", byId), "usb-Prolific_PL2303-if00-port0");  // relative
    EXPECT_EQ(ByIdName(dev + "/ttyS0", byId), "");
    EXPECT_EQ(ByIdName(dev + "/ttyS0", dir.path() + "/none"), "");

    const QList<SerialPortEntry> present = {
        {dev + "/ttyS0", "", "", ""},
        {dev + "/ttyUSB0", "usb-FTDI_FT232R_USB_UART_A1-if00-port0", "FTDI", "FT232R USB UART"},
        {dev + "/ttyUSB1", "usb-Prolific_PL2303-if00-port0", "", ""},
    };
    {
        SettingsStore store;
        store.setValue("Ports", "COM1", ftdi);                  // the stable name of ttyUSB0
        store.setValue("Ports", "COM2", "tcp://10.0.0.5:4001");  // a gateway
        store.setValue("Ports", "COM3", dev + "/ttyUSB7");      // unplugged
        store.setValue("Ports", "COM4", dev + "/ttyUSB1");      // the device itself
        store.sync();
    }
    const QList<ComPortMapping> map = MapComPorts(present);
    ASSERT_EQ(map.size(), 4);
    const struct {
        const char* name;
        bool gateway;
        int present;
        QString description;
    } expected[] = {
        {"COM1", false, 1,
         "COM1: " + ftdi + " (" + dev + "/ttyUSB0, FTDI, FT232R USB UART)"},
        {"COM2", true, -1, "COM2: tcp://10.0.0.5:4001 (gateway)"},
        {"COM3", false, -1, "COM3: " + dev + "/ttyUSB7 (not present)"},
        {"COM4", false, 2, "COM4: " + dev + "/ttyUSB1 (present)"},
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(map[i].name, expected[i].name);
        EXPECT_EQ(map[i].gateway, expected[i].gateway) << expected[i].name;
        EXPECT_EQ(map[i].present, expected[i].present) << expected[i].name;
        EXPECT_EQ(DescribeComPort(map[i], present), expected[i].description);
    }
}

TEST(Ports, LinkModeSetting) {
    EnsureCoreApp();
    ScratchStore scratch;
    EXPECT_EQ(LinkModeSetting(), LinkMode::Adaptive);
    // What each mode stores, and that it reads back.
    const struct {
        LinkMode mode;
        const char* stored;
    } written[] = {{LinkMode::Fast, "1"}, {LinkMode::Classic, "0"}, {LinkMode::Adaptive, ""}};
    for (const auto& w : written) {
        SetLinkModeSetting(w.mode);
        EXPECT_EQ(SettingsStore().value("Link", "FastTick"), w.stored);
        EXPECT_EQ(LinkModeSetting(), w.mode);
    }
    EXPECT_FALSE(SettingsStore().contains("Link", "FastTick"));
    // Texts edited by hand.
    const struct {
        const char* text;
        LinkMode mode;
    } read[] = {{"true", LinkMode::Fast},
                {"false", LinkMode::Classic},
                {"2", LinkMode::Fast},
                {"yes", LinkMode::Adaptive},
                {"", LinkMode::Adaptive}};
    for (const auto& r : read) {
        {
            SettingsStore store;
            store.setValue("Link", "FastTick", r.text);
            store.sync();
        }
        EXPECT_EQ(LinkModeSetting(), r.mode) << r.text;
    }
}

TEST(Ports, ComponentOpensTheDeviceOfItsPortIndex) {
    TraceCapture trace;
    EnsureCoreApp();
    ScratchStore scratch;
    {
        SettingsStore store;
        store.setValue("Ports", "COM4", "/dev/ttyVoltarisNone");
        store.sync();
    }
    WirrelObj component(Clock::real());
    StandaloneLink standalone(Clock::real(), component);
    CWirrel& link = standalone.link;
    EXPECT_FALSE(link.OpenRs232(4, 3, 0, 0));
    EXPECT_EQ(link.OpenErrorText(), PortMessages::NotFound("/dev/ttyVoltarisNone"));
    EXPECT_EQ(trace.lines,
              QStringList{QString::fromUtf8("Porta COM4 già aperta o non presente sul sistema.")});
}

}  // namespace
