#include "wizard/FWCommConfig.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "comm/SerialPorts.h"
#include "controls/WindowTexts.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

FWCommConfig::FWCommConfig(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWCommConfig"));
    setProperty(controls::kTagProperty, 319);
    title()->setProperty(controls::kTagProperty, 319);

    QGroupBox* type = AddFrame(this, contentLayout(), "InterfaceType", 320);
    m_InterfaceType.Create(type);
    for (int i = 0; i < 3; ++i)
        m_InterfaceType.AddOptionButton(
            AddOption(type, QStringLiteral("optInterfaceType%1").arg(i), 321 + i));

    QGroupBox* port = AddFrame(this, contentLayout(), "ComPort", 324);
    m_ComPort.Create(port);
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(port->layout())->addLayout(row);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(port);
        option->setObjectName(QStringLiteral("optComPort%1").arg(i));
        option->setProperty(controls::kTagProperty, 325 + i);
        row->addWidget(option);
        m_ComPort.AddOptionButton(option);
    }
    row->addStretch(1);
}

void FWCommConfig::LoadForm() {
    // What each COM name stands for on this machine, as its tip.
    const QList<SerialPortEntry> present = AvailableSerialPorts();
    const QList<ComPortMapping> map = MapComPorts(present);
    for (int i = 0; i < 4 && i < map.size(); ++i)
        if (auto* option = findChild<QRadioButton*>(QStringLiteral("optComPort%1").arg(i)))
            option->setToolTip(DescribeComPort(map[i], present));
}

void FWCommConfig::ActivateForm() {
    m_InterfaceType.setValue(m_record.InterfaceType());
    m_ComPort.setValue(m_record.ComPort());
}

void FWCommConfig::CommitForm() {
    // A group showing no choice (a damaged setting) keeps the stored value.
    if (m_InterfaceType.Value() >= 0)
        m_record.setInterfaceType(m_InterfaceType.Value());
    if (m_ComPort.Value() >= 0)
        m_record.setComPort(m_ComPort.Value());
}

}  // namespace voltaris::wizard
