#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace voltaris::controls {

// The program's pictures are SVG drawings compiled into the executable: nothing is looked
// up on disk, and every size is drawn for the pixels asked, not scaled from a bitmap.

// Icon numbers by which a window asks for its icon (the wizard's window icon, the link's
// tray icon). The program icon has no number of its own elsewhere; 10000 keeps it beside
// the two tray icons.
inline constexpr int kProgramIconId = 10000;
inline constexpr int kTraySerialIconId = 10001;  // a serial (RS485) line is open
inline constexpr int kTrayModemIconId = 10002;   // a telephone line is open

QIcon ProgramIcon();

// Keys of the main window's toolbar ("ViewZel2Var", "NewProg", ... "ResetMaxMinDMD"),
// matched without regard to case. An unknown key gives a null icon.
QIcon ToolbarIcon(const QString& key);

// kProgramIconId, kTraySerialIconId or kTrayModemIconId; any other number gives a null icon.
QIcon IconResource(int id);

// The wide logo (mark and name) for the splash and about windows, `height` logical pixels
// high. A devicePixelRatio of 0 takes the application's, so the logo is sharp on any
// screen. A height below 1 gives a null pixmap.
QPixmap LogoPixmap(int height, qreal devicePixelRatio = 0);

// The picture of the wizards' final page, 96 x 96 logical pixels; devicePixelRatio as for
// LogoPixmap.
QPixmap FinalPagePixmap(qreal devicePixelRatio = 0);

}  // namespace voltaris::controls
