#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace voltaris::test {

// The visible modal dialog of type T, if any.
template <typename T>
T* visibleDialog() {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        modal && modal->isVisible())
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<T*>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

// Runs `answer` on the next dialog of type T once it shows (from inside its own event loop).
// A dialog that never shows, or stays open five seconds after the answer, fails the test and
// is closed, so that a wrong answer fails instead of hanging.
template <typename T>
void onNextDialog(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(5000);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, answer] {
        if (T* dialog = visibleDialog<T>()) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
            // An answer that does not close the dialog would leave the test waiting.
            QTimer::singleShot(5000, dialog, [dialog] {
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog stayed open";
                    dialog->reject();
                }
            });
            return;
        }
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no dialog showed";
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                open->reject();
        }
    });
    timer->start();
}

// While alive, fails the test on any dialog of type T that shows, and closes it: for a step
// that must not ask anything (the dialog would run inside the step).
template <typename T>
class RefuseDialogs {
public:
    RefuseDialogs() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (T* dialog = visibleDialog<T>()) {
                ADD_FAILURE() << "unexpected dialog: " << dialog->windowTitle().toStdString();
                dialog->reject();
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

}  // namespace voltaris::test
