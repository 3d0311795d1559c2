#include "controls/CTrayIcon.h"

#include <atomic>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/ProgramErrors.h"

namespace voltaris::controls {

namespace {

constexpr int kProgramTitle = 301;

// Notification numbers are handed out from the range of numbers registered at run time,
// one per icon object.
std::atomic<qint32> g_nextId{0xC000};

}  // namespace

qint32 CTrayIcon::NotifyCodeOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return kNotifyClick;
        case QSystemTrayIcon::DoubleClick:
            return kNotifyDoubleClick;
        case QSystemTrayIcon::Context:
            return kNotifyContextMenu;
        case QSystemTrayIcon::MiddleClick:
            return kNotifyMiddleClick;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return kNotifyOther;
}

CTrayIcon::CTrayIcon(QObject* parent)
    : CTrayIcon(TrayAvailable(&QSystemTrayIcon::isSystemTrayAvailable), parent) {}

CTrayIcon::CTrayIcon(TrayAvailable trayAvailable, QObject* parent)
    : QObject(parent),
      m_trayAvailable(trayAvailable ? std::move(trayAvailable)
                                    : TrayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)),
      m_id(g_nextId++) {}

CTrayIcon::~CTrayIcon() {
    Destroy();
}

QString CTrayIcon::CutTip(const QString& tip) {
    if (tip.size() <= kTipLength)
        return tip;
    qsizetype n = kTipLength;
    if (tip.at(n - 1).isHighSurrogate())
        --n;
    return tip.left(n);
}

void CTrayIcon::Create(QWidget* hWndA, const QIcon& picIconA, const QString& sTip) {
    if (!hWndA)
        throw PlatformError(kInvalidHandle);
    if (picIconA.isNull())
        throw PlatformError(kInvalidData);
    Destroy();
    m_owner = hWndA;
    m_icon = picIconA;
    m_tip = CutTip(sTip);
    // An icon left behind by a closed window would stay until the program ends.
    m_ownerGone = connect(hWndA, &QObject::destroyed, this, &CTrayIcon::Destroy);
    if (!m_trayAvailable()) {
        g_Trace().BugMessage(
            QStringLiteral("Area di notifica non disponibile: icona non mostrata"));
        return;
    }
    m_shown = new QSystemTrayIcon(m_icon, this);
    m_shown->setToolTip(m_tip);
    connect(m_shown, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                emit Notify(m_id, NotifyCodeOf(reason));
            });
    m_shown->show();
}

void CTrayIcon::Destroy() {
    if (m_ownerGone)
        disconnect(m_ownerGone);
    m_ownerGone = {};
    m_owner.clear();
    if (!m_shown)
        return;
    QSystemTrayIcon* icon = m_shown;
    m_shown = nullptr;
    icon->hide();
    delete icon;
}

void CTrayIcon::setTip(const QString& tip) {
    m_tip = CutTip(tip);
    if (m_shown)
        m_shown->setToolTip(m_tip);
}

void CTrayIcon::setIcon(const QIcon& icon) {
    if (icon.isNull())
        throw PlatformError(kInvalidData);
    m_icon = icon;
    if (m_shown)
        m_shown->setIcon(m_icon);
}

LinkTrayIcon::LinkTrayIcon(QWidget* owner, const QIcon& icon, QObject* parent)
    : LinkTrayIcon(owner, icon, CTrayIcon::TrayAvailable(), parent) {}

LinkTrayIcon::LinkTrayIcon(QWidget* owner, const QIcon& icon,
                           CTrayIcon::TrayAvailable trayAvailable, QObject* parent)
    : QObject(parent), m_owner(owner), m_icon(icon), m_tray(std::move(trayAvailable)) {
    if (!owner)
        throw PlatformError(kInvalidHandle);
    if (icon.isNull())
        throw PlatformError(kInvalidData);
}

void LinkTrayIcon::setLineOpen(bool open) {
    if (!open) {
        m_tray.Destroy();
        return;
    }
    // Checked here so that Create cannot throw into the signal that reports the line.
    if (m_tray.Owner() || !m_owner)
        return;
    m_tray.Create(m_owner, m_icon, ResString(kProgramTitle));
}

}  // namespace voltaris::controls
