#pragma once

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

#include "controls/CTextSpin.h"
#include "model/CRecord.h"
#include "wizard/CWizardTabs.h"
#include "wizard/WizardPage.h"

namespace voltaris::test {

// A page over a real record that edits one 16-bit property of it in a spin field.
template <typename Record>
class RecordPage : public wizard::WizardPage {
public:
    using Getter = qint16 (Record::*)() const;
    using Setter = void (Record::*)(qint16);

    RecordPage(const QString& name, Getter get, Setter set) : m_get(get), m_set(set) {
        setObjectName(name);
        setWindowTitle(name);
        title()->setText(name + QStringLiteral(" settings"));
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QStringLiteral("&Value"), this);
        txtValue = new QLineEdit(this);
        txtValue->setObjectName(QStringLiteral("txtValue"));
        label->setBuddy(txtValue);
        auto* arrows = new controls::UpDownArrows(this);
        row->addWidget(label);
        row->addWidget(txtValue);
        contentLayout()->addLayout(row);
        spin.Create(txtValue, arrows, 0, 1000, 1, 10, false, false);
    }

    controls::CTextSpin spin;
    QLineEdit* txtValue;
    // When set, the page may not be left by End, Next or Back while the value is this one.
    std::optional<qint16> refused;

protected:
    CRecord* PageRecord() override { return &m_own; }
    void ActivateForm() override { spin.setValue((m_own.*m_get)()); }
    bool ValidateForm() override { return !refused || spin.Value() != *refused; }
    void CommitForm() override { (m_own.*m_set)(spin.Value()); }

private:
    Record m_own;
    Getter m_get;
    Setter m_set;
};

// Acts on the pages as a user would, one step per showing of a page: the page it expects,
// an optional new value for the page's spin field, then a button, a key or the close box.
struct UserStep {
    QString page;
    std::optional<qint16> value;
    QString press;                           // a button's object name, "Enter", "Escape" or "close"
    std::optional<qint16> expectShown = {};  // the value the page must show when it appears
    QStringList clicks = {};                 // buttons (options) to click first, by name
    QList<std::pair<QString, QString>> texts = {};  // text boxes to fill first: name, text
};

class ScriptedUser {
public:
    explicit ScriptedUser(QList<UserStep> steps) : m_steps(std::move(steps)) {}

    // Watches every page of `wizard` and plays the steps as the pages appear.
    void Attach(wizard::CWizardTabs& wizard) {
        for (int i = 1; i <= wizard.CountDialogs(); ++i)
            Attach(wizard.page(i));
    }
    void Attach(wizard::WizardPage* page) {
        QObject::connect(page, &wizard::WizardPage::Activated, page, [this, page] {
            // After the page's own activation, as a user who sees it.
            QTimer::singleShot(0, page, [this, page] { Play(page); });
        });
    }

    QStringList trail;     // the pages shown, in order
    QStringList problems;  // steps that did not go as scripted
    QList<std::optional<qint16>> shown;

private:
    void Play(wizard::WizardPage* page) {
        trail << page->objectName();
        if (m_next >= m_steps.size()) {
            problems << QStringLiteral("no step left for %1; cancelled").arg(page->objectName());
            page->reject();
            return;
        }
        const UserStep& step = m_steps[m_next++];
        if (step.page != page->objectName())
            problems << QStringLiteral("step %1: expected %2, shown %3")
                            .arg(m_next)
                            .arg(step.page, page->objectName());
        auto* field = page->findChild<QLineEdit*>(QStringLiteral("txtValue"));
        if (step.expectShown && field && field->text() != QString::number(*step.expectShown))
            problems << QStringLiteral("step %1: %2 shows %3, expected %4")
                            .arg(m_next)
                            .arg(page->objectName(), field->text())
                            .arg(*step.expectShown);
        if (step.value) {
            if (auto* spin = page->findChild<controls::UpDownArrows*>())
                spin->setValue(*step.value);
        }
        for (const auto& [name, text] : step.texts) {
            if (auto* box = page->findChild<QLineEdit*>(name))
                box->setText(text);
            else
                problems << QStringLiteral("step %1: no text box %2").arg(m_next).arg(name);
        }
        for (const QString& name : step.clicks) {
            auto* b = page->findChild<QAbstractButton*>(name);
            if (!b || !b->isEnabled())
                problems << QStringLiteral("step %1: cannot click %2").arg(m_next).arg(name);
            else
                b->click();
        }
        if (step.press == QLatin1String("Enter") || step.press == QLatin1String("Escape")) {
            const int key = step.press == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape;
            QWidget* target = page->focusWidget() ? page->focusWidget() : page;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        } else if (step.press == QLatin1String("close")) {
            page->close();
        } else if (QPushButton* b = page->button(step.press.toLatin1().constData())) {
            if (!b->isEnabled() || !b->isVisible())
                problems << QStringLiteral("step %1: %2 is not usable").arg(m_next).arg(step.press);
            b->click();
        } else {
            problems << QStringLiteral("step %1: no button %2").arg(m_next).arg(step.press);
        }
        // A press that does not leave the page (refused, disabled) needs the next step now.
        if (page->isVisible())
            QTimer::singleShot(0, page, [this, page] {
                if (page->isVisible())
                    Play(page);
            });
    }

    QList<UserStep> m_steps;
    qsizetype m_next = 0;
};

}  // namespace voltaris::test
