#pragma once

#include <QString>
#include <QWidget>

namespace voltaris::controls {

// Windows are designed with string-table ids where their texts go, and take the texts
// when they load. A caption id sits in the widget's "tag" property (a number or its text);
// a tool tip id is the leading number of the designed tool tip; a menu caption id is the
// action's designed text. An id that is missing, not a number or without text keeps the
// designed text, control by control.

// The property that carries a caption id.
inline constexpr char kTagProperty[] = "tag";

// The window's title and the texts of its labels, frames, option buttons and check boxes.
void LoadFormCaptions(QWidget* window);
// The tool tips of its text boxes, combo boxes, toolbars, frames, arrows of spin fields and
// option buttons.
void LoadFormToolTips(QWidget* window);
// The captions of the window's menu bar items and of every submenu, with a trace line each.
void LoadMenuCaptions(QWidget* window);

// The id a tag holds: its whole text as a decimal number, 0 when it is not one.
int TagId(const QVariant& tag);
// The leading decimal number of a designed tool tip ("260 new" gives 260), 0 when none.
int LeadingNumber(const QString& text);

}  // namespace voltaris::controls
