#include "controls/BusyPointer.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>

#include "base/ResString.h"
#include "controls/ProgramErrors.h"

namespace voltaris::controls {

namespace {

constexpr qint32 kNoMousePointer = 13001;
constexpr int kNoMousePointerText = 2911;

struct HourGlassState {
    bool on = false;
    QPointer<QWidget> window;
    QCursor saved;
    bool hadOwnCursor = false;  // otherwise the window showed its parent's pointer
};

HourGlassState& hourGlass() {
    static HourGlassState state;
    return state;
}

int g_depth = 0;

}  // namespace

void HourGlass(QWidget* window) {
    if (!window)
        throw ProgramError(ProgramError::kObjectErrorBase + kNoMousePointer,
                           ProgramErrorSource(QStringLiteral("Utility")),
                           ResString(kNoMousePointerText));
    HourGlassState& s = hourGlass();
    if (s.on) {
        ResetHourGlass();
        return;
    }
    s.window = window;
    s.hadOwnCursor = window->testAttribute(Qt::WA_SetCursor);
    s.saved = window->cursor();
    window->setCursor(Qt::WaitCursor);
    s.on = true;
}

bool HourGlassOn() {
    return hourGlass().on;
}

void ResetHourGlass() {
    HourGlassState& s = hourGlass();
    if (!s.on)
        return;
    s.on = false;
    if (QWidget* w = s.window.data()) {
        if (s.hadOwnCursor)
            w->setCursor(s.saved);
        else
            w->unsetCursor();
    }
    s.window.clear();
}

BusyPointer::BusyPointer() {
    // Without an application there is no pointer to change (a tool run without windows).
    if (!qGuiApp)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_set = true;
    ++g_depth;
}

BusyPointer::~BusyPointer() {
    if (!m_set)
        return;
    --g_depth;
    if (qGuiApp)
        QApplication::restoreOverrideCursor();
}

int BusyPointer::Depth() {
    return g_depth;
}

}  // namespace voltaris::controls
