#include "wizard/FWFinalSetupMessage.h"

#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "controls/Icons.h"

namespace voltaris::wizard {

FWFinalSetupMessage::FWFinalSetupMessage(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWFinalSetupMessage"));
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setPixmap(controls::FinalPagePixmap());
    imgLogo->setMinimumSize(240, 120);
    contentLayout()->addWidget(imgLogo, 1);
}

void FWFinalSetupMessage::setTitle(const QString& text) {
    m_title = text;
    title()->setText(text);
}

void FWFinalSetupMessage::LoadForm() {
    g_Trace().BugMessage(QStringLiteral("Load form:") + ResString(370));
    const QString text = !m_title.isEmpty() ? m_title : ResString(m_Action == 1 ? 371 : 370);
    title()->setText(text);
    // The page has nothing else to name it: its title is what a screen reader announces.
    setWindowTitle(text);
    imgLogo->setAccessibleName(text);
}

}  // namespace voltaris::wizard
