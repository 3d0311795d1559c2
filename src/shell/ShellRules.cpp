#include "shell/ShellRules.h"

#include <algorithm>

#include "comm/TcpTransport.h"

namespace voltaris::shell {

WizardChoices ChoicesOfModel(qint32 instrModel) {
    WizardChoices c;
    c.L = quint8(quint32(instrModel) & 0xFFu);
    c.A = quint8((quint32(instrModel) >> 8) & 0xFFu);
    return c;
}

bool ConfigPageShown(const QString& className, const WizardChoices& c) {
    const bool digital = c.L == 4 || c.L == 5 || c.L == 16;
    const bool second = c.L == 4 || c.L == 5;
    if (className == QLatin1String("CDigOutConfig"))
        return digital;
    if (className == QLatin1String("CPulseOutSetup1"))
        return digital && c.DigOut1 == 0;
    if (className == QLatin1String("CAlarm1"))
        return digital && c.DigOut1 == 1 && c.NumAlarm1 != 0;
    if (className == QLatin1String("CPulseOutSetup2"))
        return second && c.DigOut2 == 0;
    if (className == QLatin1String("CAlarm2"))
        return second && c.DigOut2 == 1 && c.NumAlarm2 != 0;
    if (className == QLatin1String("CSerialComm"))
        return c.L == 1 || c.L == 5 || c.L == 16;
    if (className == QLatin1String("CAnalogOutSetup1"))
        return c.A == 1 || c.A == 3;
    if (className == QLatin1String("CAnalogOutSetup2") ||
        className == QLatin1String("CAnalogOutSetup3"))
        return c.A == 3;
    return true;
}

WindowPlacement PlacementToSave(const WindowPlacement& stored, const QRect& normalGeometryPx,
                                int state) {
    WindowPlacement p = stored;
    if (state == 0) {
        p.left = normalGeometryPx.x() * kTwipsPerPixel;
        p.top = normalGeometryPx.y() * kTwipsPerPixel;
        p.width = normalGeometryPx.width() * kTwipsPerPixel;
        p.height = normalGeometryPx.height() * kTwipsPerPixel;
    }
    p.state = state == 1 ? 0 : state;
    return p;
}

QRect PlacementRect(const WindowPlacement& stored, const QList<QRect>& screens) {
    QRect r(stored.left / kTwipsPerPixel, stored.top / kTwipsPerPixel,
            std::max(stored.width / kTwipsPerPixel, PixelsOf(kMinWidthTwips)),
            std::max(stored.height / kTwipsPerPixel, PixelsOf(kMinHeightTwips)));
    if (screens.isEmpty())
        return r;
    const QRect* best = &screens.first();
    qint64 bestArea = -1;
    for (const QRect& s : screens) {
        const QRect overlap = s.intersected(r);
        const qint64 area = overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            best = &s;
        }
    }
    // Keep it on that screen; a window larger than the screen keeps its top-left corner in.
    r.setWidth(std::min(r.width(), best->width()));
    r.setHeight(std::min(r.height(), best->height()));
    r.moveLeft(std::clamp(r.left(), best->left(), best->right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), best->top(), best->bottom() + 1 - r.height()));
    return r;
}

bool PortEntryAccepted(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return true;
    if (t.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        QString host;
        quint16 port = 0;
        return TcpTransport::parseUrl(t, &host, &port);
    }
    return t.startsWith(QLatin1Char('/')) && !t.contains(QLatin1String("://"));
}

QString SafeFileName(const QString& name) {
    QString safe;
    for (const QChar ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            safe += QLatin1Char('_');
        else
            safe += ch;
    }
    safe = safe.trimmed();
    while (safe.endsWith(QLatin1Char('.')))
        safe.chop(1);
    return safe.isEmpty() ? QStringLiteral("configuration") : safe;
}

bool CommPageShown(const QString& className, qint16 interfaceType) {
    return !(className == QLatin1String("CNetworkAddMsgSetup") && interfaceType == 0);
}

qint16 NetworkPageInterfaceType(qint16 chosenInterfaceType, bool modifyInstrument) {
    return static_cast<qint16>(chosenInterfaceType + (modifyInstrument ? 3 : 0));
}

qint16 AddressAfterTransfer(qint16 interfaceType, qint32 action, qint16 stored,
                            qint16 instrumentAddress) {
    constexpr qint32 kWrite = -1;
    if (interfaceType != 1 || action != kWrite || instrumentAddress < 1 || instrumentAddress > 255)
        return stored;
    return instrumentAddress;
}

}  // namespace voltaris::shell
