#pragma once

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>

namespace voltaris::wizard {

// Small builders of the pages' controls: each names the control and gives it the string id
// its caption loads from.

// A frame with a vertical layout, for the caller to place.
QGroupBox* NewFrame(QWidget* page, const char* name, int captionId);
// A frame with a vertical layout, added to `into`.
QGroupBox* AddFrame(QWidget* page, QBoxLayout* into, const char* name, int captionId);
// An option button added to the frame's layout.
QRadioButton* AddOption(QGroupBox* frame, const QString& name, int captionId);
// A label added to the frame's layout.
QLabel* AddLabel(QGroupBox* frame, const QString& name, int captionId);

}  // namespace voltaris::wizard
