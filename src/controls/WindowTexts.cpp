#include "controls/WindowTexts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolBar>
#include <functional>

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/UpDownArrows.h"

namespace voltaris::controls {

int TagId(const QVariant& tag) {
    bool ok = false;
    const int id = tag.toString().trimmed().toInt(&ok);
    return ok ? id : 0;
}

int LeadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype n = 0;
    while (n < trimmed.size() && n < 9 && trimmed.at(n).isDigit())
        ++n;
    return n == 0 ? 0 : trimmed.left(n).toInt();
}

namespace {

// The text of `id` when the string table has one.
bool TextOf(int id, QString* text) {
    if (id == 0 || !HasResString(id))
        return false;
    *text = ResString(id);
    return true;
}

void ForEachMenuAction(const QList<QAction*>& actions, const std::function<void(QAction*)>& visit) {
    for (QAction* action : actions) {
        visit(action);
        if (QMenu* menu = action->menu())
            ForEachMenuAction(menu->actions(), visit);
    }
}

}  // namespace

void LoadFormCaptions(QWidget* window) {
    g_Trace().BugMessage(QStringLiteral("Inizio caricamento dei caption dei controlli"));
    QString text;
    if (TextOf(TagId(window->property(kTagProperty)), &text))
        window->setWindowTitle(text);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!TextOf(TagId(w->property(kTagProperty)), &text))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(text);
        else if (auto* frame = qobject_cast<QGroupBox*>(w))
            frame->setTitle(text);
        else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w))
            static_cast<QAbstractButton*>(w)->setText(text);
    }
    g_Trace().BugMessage(QStringLiteral("Fine caricamento delle risorse"));
}

void LoadFormToolTips(QWidget* window) {
    QString text;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool carriesTip = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                                qobject_cast<QToolBar*>(w) || qobject_cast<QGroupBox*>(w) ||
                                qobject_cast<UpDownArrows*>(w) || qobject_cast<QRadioButton*>(w);
        if (carriesTip && TextOf(LeadingNumber(w->toolTip()), &text))
            w->setToolTip(text);
    }
}

void LoadMenuCaptions(QWidget* window) {
    g_Trace().BugMessage(QStringLiteral("Caricamento testi menu"));
    QMenuBar* bar = window->findChild<QMenuBar*>();
    if (!bar)
        return;
    ForEachMenuAction(bar->actions(), [](QAction* action) {
        const QString design = action->text();
        bool numeric = false;
        const int id = design.toInt(&numeric);
        if (!numeric || action->isSeparator())
            return;
        const QString text = ResString(id);
        g_Trace().BugMessage(QStringLiteral("Caricamento dalle risorse del testo del menu ") +
                             design + QLatin1Char('=') + text);
        if (HasResString(id))
            action->setText(text);
    });
}

}  // namespace voltaris::controls
