#include "wizard/FWSerialComm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "base/ResString.h"
#include "controls/WindowTexts.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

FWSerialComm::FWSerialComm(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWSerialComm"));
    setProperty(controls::kTagProperty, 356);
    title()->setProperty(controls::kTagProperty, 356);

    QGroupBox* address = AddFrame(this, contentLayout(), "frmNetworkAdd", 350);
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(address->layout())->addLayout(row);
    auto* box = new QLineEdit(address);
    box->setObjectName(QStringLiteral("txtNetworkAdd"));
    box->setMaximumWidth(90);
    auto* arrows = new controls::UpDownArrows(address);
    arrows->setObjectName(QStringLiteral("UpDown1"));
    row->addWidget(box);
    row->addStretch(1);
    m_NetworkAdd.Create(box, arrows, 1, 255, 1, 1, true, false);
    // Writes the text: a value equal to the field's start would otherwise show nothing.
    m_NetworkAdd.setDataFormat(QStringLiteral("##0"));

    QGroupBox* baud = AddFrame(this, contentLayout(), "frmBaudRate", 351);
    m_BaudRate.Create(baud);
    auto* speeds = new QHBoxLayout;
    static_cast<QVBoxLayout*>(baud->layout())->addLayout(speeds);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(baud);
        option->setObjectName(QStringLiteral("optBaudRate%1").arg(i));
        option->setProperty(controls::kTagProperty, 352 + i);
        speeds->addWidget(option);
        m_BaudRate.AddOptionButton(option);
    }
    speeds->addStretch(1);
}

void FWSerialComm::ActivateForm() {
    m_NetworkAdd.setAccessibleName(ResString(350));
    m_NetworkAdd.setValue(m_record.NetworkAdd());
    m_BaudRate.setValue(m_record.BaudRate());
}

void FWSerialComm::CommitForm() {
    m_record.setNetworkAdd(m_NetworkAdd.Value());
    if (m_BaudRate.Value() >= 0)
        m_record.setBaudRate(m_BaudRate.Value());
}

}  // namespace voltaris::wizard
