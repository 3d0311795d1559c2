#include "wizard/PageBuilding.h"

#include <QLineEdit>

#include <QVBoxLayout>

#include "controls/WindowTexts.h"

namespace voltaris::wizard {

QGroupBox* NewFrame(QWidget* page, const char* name, int captionId) {
    auto* frame = new QGroupBox(page);
    frame->setObjectName(QLatin1String(name));
    frame->setProperty(controls::kTagProperty, captionId);
    new QVBoxLayout(frame);
    return frame;
}

QGroupBox* AddFrame(QWidget* page, QBoxLayout* into, const char* name, int captionId) {
    QGroupBox* frame = NewFrame(page, name, captionId);
    into->addWidget(frame);
    return frame;
}

QRadioButton* AddOption(QGroupBox* frame, const QString& name, int captionId) {
    auto* option = new QRadioButton(frame);
    option->setObjectName(name);
    option->setProperty(controls::kTagProperty, captionId);
    frame->layout()->addWidget(option);
    return option;
}

QLabel* AddLabel(QGroupBox* frame, const QString& name, int captionId) {
    auto* label = new QLabel(frame);
    label->setObjectName(name);
    label->setProperty(controls::kTagProperty, captionId);
    label->setWordWrap(true);
    frame->layout()->addWidget(label);
    return label;
}

QLabel* NewCaption(QWidget* parent, const char* name, int captionId) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty(controls::kTagProperty, captionId);
    return label;
}

void AddSpinRow(QWidget* parent, QGridLayout* grid, int row, QLabel* label, const char* box,
                const char* arrows, controls::CTextSpin& spin, qint16 min, qint16 max) {
    auto* text = new QLineEdit(parent);
    text->setObjectName(QLatin1String(box));
    text->setMinimumWidth(120);
    auto* upDown = new controls::UpDownArrows(parent);
    upDown->setObjectName(QLatin1String(arrows));
    label->setBuddy(text);
    grid->addWidget(label, row, 0);
    grid->addWidget(text, row, 1, Qt::AlignLeft);
    spin.Create(text, upDown, min, max, 1, 10, true, false);
}

}  // namespace voltaris::wizard
