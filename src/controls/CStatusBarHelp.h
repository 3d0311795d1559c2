#pragma once

#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace voltaris::controls {

// Status-bar help for the menus of a main window: while the user moves through the menus it
// raises HelpID with the help text id of the highlighted item.
//
// Each highlight writes the trace line "hWnd=<window> hMenu=<menu> ID=<item> Flags=<flags>",
// where the window, the menu (the popup, or the menu bar for its own items) and the item are
// given by their object names (an item without one by its text), and the flags are the sum of
// the kFlag values below; when the menus close the line reads "hMenu=0 ID=0 Flags=65535".
class CStatusBarHelp : public QObject {
    Q_OBJECT
public:
    static constexpr int kTableSize = 101;
    static constexpr int kTextLength = 20;
    enum Flag : qint32 {
        kFlagSubmenu = 0x01,
        kFlagSeparator = 0x02,
        kFlagDisabled = 0x04,
        kFlagChecked = 0x08,
        kFlagMenuClosed = 0xFFFF,
    };

    explicit CStatusBarHelp(QObject* parent = nullptr);
    // Stops watching.
    ~CStatusBarHelp() override;

    // Starts on `mainWindow` (again, when already started): builds the help table from the
    // captions of its menu bar and submenus, which must still be resource numbers (so this
    // runs before the captions are loaded): an item whose caption, cut at a tab and to 20
    // characters, is a number gets help id number + displacement, up to 101 items. A window
    // without a menu bar gives an empty table; a null window stops watching.
    void Create(QWidget* mainWindow, qint16 DisplacementToAddResID);

    QWidget* Window() const { return m_window; }
    qint16 Displacement() const { return m_displacement; }
    int EntryCount() const { return int(m_table.size()); }
    // The help id of `action` in the table, 0 when it has none.
    qint16 HelpIdOf(const QAction* action) const;

    // The help id of a caption: true and `helpId` when the caption (cut at a tab and to 20
    // characters) is a decimal number whose help id fits 1..32767 (0 and -1 have their own
    // meaning).
    static bool CaptionHelpId(const QString& caption, qint16 displacement, qint16& helpId);

signals:
    // -1: clear the help text (a submenu or a separator); 0: the menus closed (show the ready
    // text); otherwise the help text id of the highlighted item.
    void HelpID(qint16 id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QAction> action;
        qint16 helpId;
    };

    void stopWatching();
    void walk(const QList<QAction*>& actions, QList<QMenu*>& visited);
    void watchMenu(QMenu* menu);
    void onMenuHovered(QMenu* menu, QAction* action);
    void onBarHovered(QAction* action);
    void onTopMenuShown(QMenu* menu);
    void select(const QObject* menu, QAction* action);
    void scheduleCloseCheck();
    void checkClosed();
    bool menusActive() const;
    void trace(const QString& menu, const QString& item, qint32 flags) const;

    QPointer<QWidget> m_window;
    QPointer<QMenuBar> m_menuBar;
    qint16 m_displacement = 0;
    QList<Entry> m_table;
    QList<QPointer<QMenu>> m_menus;
    QList<QMetaObject::Connection> m_connections;
    QPointer<QAction> m_lastAction;
    bool m_menuActive = false;
    bool m_closeCheckPending = false;
};

}  // namespace voltaris::controls
