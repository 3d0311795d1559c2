#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>

namespace voltaris::controls {

// An icon of the program in the desktop's notification area, owned by a window.
//
// Where the desktop has no notification area (or the program runs offscreen) Create keeps
// the owner, icon and tip but shows nothing, and raises no error: the icon only tells the
// user that a line is open.
class CTrayIcon : public QObject {
    Q_OBJECT
public:
    // Whether the desktop offers a notification area now; replaceable for tests.
    using TrayAvailable = std::function<bool()>;

    // The tip is cut to 63 characters, the length a tip always had: the same text then shows
    // on every desktop, instead of each notification area cutting a long one its own way.
    static constexpr int kTipLength = 63;

    // The second value of Notify: what the user did on the icon, numbered like the mouse
    // notifications of a notification-area icon: a click (left button released), a double
    // click, a context-menu request (right button released), a middle click; 0 for anything
    // else.
    enum NotifyCode : qint32 {
        kNotifyOther = 0,
        kNotifyClick = 0x0202,
        kNotifyDoubleClick = 0x0203,
        kNotifyContextMenu = 0x0205,
        kNotifyMiddleClick = 0x0208,
    };
    static qint32 NotifyCodeOf(QSystemTrayIcon::ActivationReason reason);

    explicit CTrayIcon(QObject* parent = nullptr);
    explicit CTrayIcon(TrayAvailable trayAvailable, QObject* parent = nullptr);
    // Runs Destroy.
    ~CTrayIcon() override;

    // Shows `picIconA` with the tip `sTip` for the window `hWndA` (an icon shown before is
    // removed first). A null window raises ProgramError 29006 (".Windows", invalid handle),
    // a null icon ProgramError 29013 (invalid data); nothing is shown then. The icon goes
    // away with its window.
    void Create(QWidget* hWndA, const QIcon& picIconA, const QString& sTip);
    // Removes the icon; nothing when none is shown.
    void Destroy();

    QString Tip() const { return m_tip; }
    // Cut to kTipLength; the shown icon follows.
    void setTip(const QString& tip);
    QIcon Icon() const { return m_icon; }
    // A null icon raises ProgramError 29013 and changes nothing; the shown icon follows.
    void setIcon(const QIcon& icon);
    // The number that tells this icon's notifications apart from others' (first value of
    // Notify); Message is the same number.
    qint32 ID() const { return m_id; }
    qint32 Message() const { return m_id; }
    QWidget* Owner() const { return m_owner; }
    // Whether the icon is in the notification area.
    bool IsShown() const { return m_shown != nullptr; }

    // The tip as kept: cut to kTipLength characters, never inside a surrogate pair.
    static QString CutTip(const QString& tip);

signals:
    // The user acted on the icon: ID() and a NotifyCode.
    void Notify(qint32 wParam, qint32 lParam);

private:
    TrayAvailable m_trayAvailable;
    QPointer<QWidget> m_owner;
    QMetaObject::Connection m_ownerGone;
    QIcon m_icon;
    QString m_tip;
    qint32 m_id;
    QSystemTrayIcon* m_shown = nullptr;
};

// Shows the program's icon in the notification area while a line to the instruments is
// open: follow() connects it to the lineOpened(bool) signal of an engine or a link. The tip
// is the program's title. Where there is no notification area nothing is shown.
class LinkTrayIcon : public QObject {
    Q_OBJECT
public:
    // A null owner or icon raises ProgramError here, so that following a line never fails.
    LinkTrayIcon(QWidget* owner, const QIcon& icon, QObject* parent = nullptr);
    LinkTrayIcon(QWidget* owner, const QIcon& icon, CTrayIcon::TrayAvailable trayAvailable,
                 QObject* parent = nullptr);

    template <typename Sender, typename Signal>
    QMetaObject::Connection follow(const Sender* sender, Signal signal) {
        return connect(sender, signal, this, &LinkTrayIcon::setLineOpen);
    }

    // Shows the icon when the line opens, removes it when it closes.
    void setLineOpen(bool open);

    CTrayIcon& trayIcon() { return m_tray; }
    const CTrayIcon& trayIcon() const { return m_tray; }

private:
    QPointer<QWidget> m_owner;
    QIcon m_icon;
    CTrayIcon m_tray;
};

}  // namespace voltaris::controls
