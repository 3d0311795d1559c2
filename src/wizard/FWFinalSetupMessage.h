#pragma once

#include <QLabel>

#include "wizard/WizardPage.h"

namespace voltaris::wizard {

// The closing page of every wizard: a title and a picture, no data.
class FWFinalSetupMessage : public WizardPage {
    Q_OBJECT
public:
    explicit FWFinalSetupMessage(QWidget* parent = nullptr);

    // 1: the end of the communication settings; anything else: the end of programming.
    void setAction(qint16 action) { m_Action = action; }
    // Replaces the title text from now on.
    void setTitle(const QString& text);

protected:
    void LoadForm() override;

private:
    qint16 m_Action = 0;
    QString m_title;
    QLabel* imgLogo;
};

}  // namespace voltaris::wizard
