#pragma once

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>

#include "controls/CTextSpin.h"

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
// A label for the caller to place.
QLabel* NewCaption(QWidget* parent, const char* name, int captionId);
// A spin field in row `row` of `grid`: `label` (its buddy) in column 0, the text box in column
// 1, created from `min` to `max` in steps of 1 and 10, wrapping.
void AddSpinRow(QWidget* parent, QGridLayout* grid, int row, QLabel* label, const char* box,
                const char* arrows, controls::CTextSpin& spin, qint16 min, qint16 max);

}  // namespace voltaris::wizard
