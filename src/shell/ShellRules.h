#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace voltaris::shell {

// What the configuration wizard's skip rules read from the pages: the two low bytes of the
// instrument model (L the module type, A the analogue outputs) and the digital outputs'
// modes (0 pulses, 1 alarm, 2 remote control) and alarm counts.
struct WizardChoices {
    quint8 L = 0;
    quint8 A = 0;
    qint16 DigOut1 = 0;
    qint16 DigOut2 = 0;
    qint16 NumAlarm1 = 0;
    qint16 NumAlarm2 = 0;
};
WizardChoices ChoicesOfModel(qint32 instrModel);

// Whether the configuration wizard shows the page whose record is `className` ("CAlarm1",
// "CSerialComm", ...); pages of any other name (usage, final) are always shown.
bool ConfigPageShown(const QString& className, const WizardChoices& c);

// The main window's placement in the settings store (section "Settings"), in twips.
struct WindowPlacement {
    int left = 100, top = 100, width = 6800, height = 3750;
    int state = 0;  // 0 normal, 1 minimised, 2 maximised
};
inline constexpr int kTwipsPerPixel = 15;
// The smallest window: 5000 x 4000 twips.
inline constexpr int kMinWidthTwips = 5000;
inline constexpr int kMinHeightTwips = 4000;
// Whole pixels of a twips length, rounded up (a minimum stays a minimum).
inline constexpr int PixelsOf(int twips) {
    return (twips + kTwipsPerPixel - 1) / kTwipsPerPixel;
}

// What is stored when the window closes: its normal geometry only when it is in the normal
// state (the stored one otherwise), and never the minimised state.
WindowPlacement PlacementToSave(const WindowPlacement& stored, const QRect& normalGeometryPx,
                                int state);
// The rectangle (pixels) a stored placement opens at: at least the smallest size, and moved
// onto the screen it overlaps most (the first when none) so that its title bar is reachable.
QRect PlacementRect(const WindowPlacement& stored, const QList<QRect>& screens);

// Whether `text` can stand for a COM name: empty (the default device), a device path ("/...")
// or a gateway "tcp://host:port".
bool PortEntryAccepted(const QString& text);

// A configuration's name as a file name: characters that no file name may hold become "_",
// blanks at either end and trailing dots go, and an empty result is "configuration".
QString SafeFileName(const QString& name);

// The communication wizard (connection, network, final page): the network page
// ("CNetworkAddMsgSetup") is left out, forward and back, when the PC is on the instrument's
// auxiliary port (connection type 0); every other page is shown.
bool CommPageShown(const QString& className, qint16 interfaceType);
// The connection type the network page adapts its choices to: the one chosen on the
// connection page, plus 3 when the instrument is read, edited and written back (so that it
// is reached only through a manual address).
qint16 NetworkPageInterfaceType(qint16 chosenInterfaceType, bool modifyInstrument);
// The network address to keep after a transfer. Writing a configuration to a single
// instrument may give it a new address (`instrumentAddress`, where it answers now): the kept
// address follows it, so the next command finds the instrument. Anything else keeps `stored`.
qint16 AddressAfterTransfer(qint16 interfaceType, qint32 action, qint16 stored,
                            qint16 instrumentAddress);

}  // namespace voltaris::shell
