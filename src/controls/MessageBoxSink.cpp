#include "controls/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace voltaris::controls {

namespace {

QMessageBox::Icon boxIcon(UserMessages::Icon icon) {
    switch (icon) {
        case UserMessages::Icon::Information:
            return QMessageBox::Information;
        case UserMessages::Icon::Warning:
            return QMessageBox::Warning;
        case UserMessages::Icon::Error:
            return QMessageBox::Critical;
        case UserMessages::Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QWidget* boxParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A command may still hold the busy pointer when it reports or asks: the box shows the
// normal pointer while it is open.
class NormalPointer {
public:
    NormalPointer() : m_set(QApplication::overrideCursor() != nullptr) {
        if (m_set)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalPointer() {
        if (m_set)
            QApplication::restoreOverrideCursor();
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool m_set;
};

}  // namespace

QString MessageBoxText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && c != u'\r') {
            out += c;
            continue;
        }
        // A pair of different break characters (LF CR or CR LF) is one line break.
        if (i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            if ((next == u'\n' || next == u'\r') && next != c)
                ++i;
        }
        out += u'\n';
    }
    return out;
}

void MessageBoxSink::show(Icon icon, const QString& title, const QString& text) {
    QMessageBox box(boxIcon(icon), title, MessageBoxText(text), QMessageBox::Ok, boxParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    NormalPointer pointer;
    box.exec();
}

UserMessages::Answer MessageBoxSink::askYesNo(Icon icon, const QString& title,
                                              const QString& text) {
    QMessageBox box(boxIcon(icon), title, MessageBoxText(text), QMessageBox::Yes | QMessageBox::No,
                    boxParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    NormalPointer pointer;
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
}

}  // namespace voltaris::controls
