#pragma once

#include <QWidget>

namespace voltaris::controls {

// Toggles the busy pointer, one state for the whole program: the first call remembers the
// window's pointer and shows the busy one over it, the next call gives the remembered pointer
// back to the window that was made busy (also when another window is passed), the third shows
// the busy pointer again. A null window raises ProgramError 13001 (".Utility").
void HourGlass(QWidget* window);
// Whether HourGlass is showing the busy pointer.
bool HourGlassOn();
// Gives the remembered pointer back when HourGlass is showing the busy pointer.
void ResetHourGlass();

// The busy pointer over every window of the program for the lifetime of the object; the
// previous pointer comes back when the scope ends, also by an exception. Guards nest.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // How many guards are alive.
    static int Depth();

private:
    bool m_set = false;
};

}  // namespace voltaris::controls
