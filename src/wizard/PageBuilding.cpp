#include "wizard/PageBuilding.h"

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

}  // namespace voltaris::wizard
