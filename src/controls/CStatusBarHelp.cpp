#include "controls/CStatusBarHelp.h"

#include <QEvent>
#include <QTimer>

#include "base/CTraceCode.h"

namespace voltaris::controls {

namespace {

QString nameOf(const QObject* object) {
    return object ? object->objectName() : QString();
}

QString itemName(const QAction* action) {
    const QString name = nameOf(action);
    return name.isEmpty() ? action->text() : name;
}

qint32 flagsOf(const QAction* action) {
    qint32 flags = 0;
    if (QMenu::menuInAction(action))
        flags |= CStatusBarHelp::kFlagSubmenu;
    if (action->isSeparator())
        flags |= CStatusBarHelp::kFlagSeparator;
    if (!action->isEnabled())
        flags |= CStatusBarHelp::kFlagDisabled;
    if (action->isChecked())
        flags |= CStatusBarHelp::kFlagChecked;
    return flags;
}

}  // namespace

CStatusBarHelp::CStatusBarHelp(QObject* parent) : QObject(parent) {}

CStatusBarHelp::~CStatusBarHelp() {
    stopWatching();
}

bool CStatusBarHelp::CaptionHelpId(const QString& caption, qint16 displacement, qint16& helpId) {
    QString text = caption.left(kTextLength);
    if (const qsizetype tab = text.indexOf(u'\t'); tab >= 0)
        text.truncate(tab);
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 10);
    if (!ok)
        return false;
    const qint64 id = number + displacement;
    if (id < 1 || id > 32767)
        return false;
    helpId = qint16(id);
    return true;
}

void CStatusBarHelp::Create(QWidget* mainWindow, qint16 DisplacementToAddResID) {
    stopWatching();
    m_window = mainWindow;
    m_displacement = DisplacementToAddResID;
    if (!mainWindow)
        return;
    m_menuBar = mainWindow->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!m_menuBar)
        return;
    QList<QMenu*> visited;
    walk(m_menuBar->actions(), visited);
    m_connections << connect(m_menuBar, &QMenuBar::hovered, this, &CStatusBarHelp::onBarHovered);
    m_menuBar->installEventFilter(this);
    for (QAction* top : m_menuBar->actions()) {
        if (QMenu* menu = QMenu::menuInAction(top))
            m_connections << connect(menu, &QMenu::aboutToShow, this,
                                     [this, menu] { onTopMenuShown(menu); });
    }
}

void CStatusBarHelp::stopWatching() {
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    if (m_menuBar)
        m_menuBar->removeEventFilter(this);
    m_menuBar.clear();
    m_menus.clear();
    m_table.clear();
    m_lastAction.clear();
    m_menuActive = false;
    m_window.clear();
}

void CStatusBarHelp::walk(const QList<QAction*>& actions, QList<QMenu*>& visited) {
    for (QAction* action : actions) {
        if (QMenu* sub = QMenu::menuInAction(action)) {
            if (!visited.contains(sub)) {
                visited << sub;
                watchMenu(sub);
                walk(sub->actions(), visited);
            }
            continue;
        }
        if (action->isSeparator())
            continue;
        qint16 helpId = 0;
        if (!CaptionHelpId(action->text(), m_displacement, helpId))
            continue;
        if (m_table.size() >= kTableSize)
            continue;  // the table is full: later items get no help
        m_table.push_back({action, helpId});
    }
}

void CStatusBarHelp::watchMenu(QMenu* menu) {
    m_menus << menu;
    m_connections << connect(menu, &QMenu::hovered, this,
                             [this, menu](QAction* action) { onMenuHovered(menu, action); });
    m_connections << connect(menu, &QMenu::aboutToHide, this, &CStatusBarHelp::scheduleCloseCheck);
}

qint16 CStatusBarHelp::HelpIdOf(const QAction* action) const {
    for (const Entry& e : m_table) {
        if (action && e.action == action)
            return e.helpId;
    }
    return 0;
}

bool CStatusBarHelp::menusActive() const {
    for (const QPointer<QMenu>& menu : m_menus) {
        if (menu && menu->isVisible())
            return true;
    }
    // In keyboard navigation the menu bar holds the focus and highlights a title while no
    // menu is open; it may keep the focus after (when no other control takes it back).
    return m_menuBar && m_menuBar->hasFocus() && m_menuBar->activeAction();
}

void CStatusBarHelp::onMenuHovered(QMenu* menu, QAction* action) {
    // An action is also highlighted outside its menu (a toolbar button of the same command):
    // only a highlight in an open menu is a menu selection.
    if (!menu->isVisible())
        return;
    select(menu, action);
}

void CStatusBarHelp::onBarHovered(QAction* action) {
    // The pointer passing over the menu bar selects nothing until a menu is open or the bar
    // is navigated with the keyboard.
    if (!menusActive())
        return;
    select(m_menuBar, action);
}

void CStatusBarHelp::onTopMenuShown(QMenu* menu) {
    // Opening a menu with a click selects its title before the menu bar is active.
    select(m_menuBar, menu->menuAction());
}

void CStatusBarHelp::select(const QObject* menu, QAction* action) {
    if (!action)
        return;
    // One highlight can arrive twice (the bar's hover, then its menu opening).
    if (m_menuActive && m_lastAction == action)
        return;
    m_menuActive = true;
    m_lastAction = action;
    const qint32 flags = flagsOf(action);
    trace(nameOf(menu), itemName(action), flags);
    if (flags & (kFlagSubmenu | kFlagSeparator)) {
        emit HelpID(-1);
        return;
    }
    for (const Entry& e : std::as_const(m_table)) {
        if (e.action == action) {
            g_Trace().BugMessage(QStringLiteral("Evento HelpID"));
            emit HelpID(e.helpId);
            return;
        }
    }
    if (m_table.size() >= kTableSize)
        g_Trace().BugMessage(QStringLiteral("Non individuato l'item per l'Help sulla status bar"));
}

void CStatusBarHelp::scheduleCloseCheck() {
    // A menu hides also when the user moves to the next one or back to the parent menu:
    // whether all of them closed is known once the switch is over.
    if (m_closeCheckPending)
        return;
    m_closeCheckPending = true;
    QTimer::singleShot(0, this, &CStatusBarHelp::checkClosed);
}

void CStatusBarHelp::checkClosed() {
    m_closeCheckPending = false;
    if (!m_menuActive || menusActive())
        return;
    m_menuActive = false;
    m_lastAction.clear();
    trace(QStringLiteral("0"), QStringLiteral("0"), kFlagMenuClosed);
    emit HelpID(0);
}

bool CStatusBarHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_menuBar) {
        const QEvent::Type type = event->type();
        if (type == QEvent::FocusOut || type == QEvent::KeyPress ||
            type == QEvent::MouseButtonRelease) {
            // Keyboard navigation may end without the bar losing the focus (Esc).
            scheduleCloseCheck();
        } else if (type == QEvent::FocusIn) {
            // Keyboard navigation highlights its first menu before the bar takes the focus.
            select(m_menuBar, m_menuBar->activeAction());
        }
    }
    return QObject::eventFilter(watched, event);
}

void CStatusBarHelp::trace(const QString& menu, const QString& item, qint32 flags) const {
    g_Trace().BugMessage(QStringLiteral("hWnd=") + nameOf(m_window) + QStringLiteral(" hMenu=") +
                         menu + QStringLiteral(" ID=") + item + QStringLiteral(" Flags=") +
                         QString::number(flags));
}

}  // namespace voltaris::controls
