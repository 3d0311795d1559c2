#include "wizard/FWNetworkAddMsgSetup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "base/ResString.h"
#include "controls/WindowTexts.h"
#include "wizard/PageBuilding.h"

namespace voltaris::wizard {

NetworkPageEnabling NetworkPageRules(qint16 interfaceType, qint16 modeConfig, qint16 selNetworkAdd,
                                     qint16 action) {
    const bool single = modeConfig == 0;
    return {interfaceType == 2,           single,          single && interfaceType == 1,
            single && selNetworkAdd == 1, modeConfig == 1, action != 1};
}

namespace {

// A spin field of 1..255 in steps of 1 that wraps, in `row`.
QLineEdit* AddAddressSpin(QWidget* parent, QBoxLayout* row, const char* text, const char* arrows,
                          controls::CTextSpin& spin) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(text));
    auto* upDown = new controls::UpDownArrows(parent);
    upDown->setObjectName(QLatin1String(arrows));
    box->setMaximumWidth(90);
    row->addWidget(box);
    spin.Create(box, upDown, CNetworkAddMsgSetup::MinAddress, CNetworkAddMsgSetup::MaxAddress, 1, 1,
                true, false);
    // Writes the text: a value equal to the field's start would otherwise show nothing.
    spin.setDataFormat(QStringLiteral("##0"));
    return box;
}

}  // namespace

FWNetworkAddMsgSetup::FWNetworkAddMsgSetup(QWidget* parent) : WizardPage(parent) {
    setObjectName(QStringLiteral("FWNetworkAddMsgSetup"));
    setProperty(controls::kTagProperty, 330);
    title()->setProperty(controls::kTagProperty, 330);

    QGroupBox* mode = AddFrame(this, contentLayout(), "frmModeConfig", 331);
    m_ModeConfig.Create(mode);
    m_ModeConfig.AddOptionButton(AddOption(mode, QStringLiteral("optModeConfig0"), 332));
    m_ModeConfig.AddOptionButton(AddOption(mode, QStringLiteral("optModeConfig1"), 333));

    auto* row = new QHBoxLayout;
    contentLayout()->addLayout(row);
    auto* column = new QVBoxLayout;
    row->addLayout(column, 1);
    QGroupBox* address = AddFrame(this, column, "frmSelNetworkAdd", 334);
    m_SelNetworkAdd.Create(address);
    m_SelNetworkAdd.AddOptionButton(AddOption(address, QStringLiteral("optAutomatic"), 341));
    auto* manualRow = new QHBoxLayout;
    static_cast<QVBoxLayout*>(address->layout())->addLayout(manualRow);
    auto* manual = new QRadioButton(address);
    manual->setObjectName(QStringLiteral("optManual"));
    manual->setProperty(controls::kTagProperty, 342);
    manualRow->addWidget(manual);
    m_SelNetworkAdd.AddOptionButton(manual);
    AddAddressSpin(address, manualRow, "txtNetworkAdd", "UpDown1", m_NetworkAdd);
    manualRow->addStretch(1);

    frmTotalInstrNetwork = AddFrame(this, column, "frmTotalInstrNetwork", 340);
    auto* totalRow = new QHBoxLayout;
    static_cast<QVBoxLayout*>(frmTotalInstrNetwork->layout())->addLayout(totalRow);
    AddAddressSpin(frmTotalInstrNetwork, totalRow, "txtTotalInstrNetwork", "UpDown2",
                   m_TotalInstrNetwork);
    totalRow->addStretch(1);

    frmMessage = AddFrame(this, row, "frmMessage", 335);
    for (int id = 336; id <= 339; ++id)
        AddLabel(frmMessage, QStringLiteral("lblMessage%1").arg(id - 335), id);

    connect(&m_ModeConfig, &controls::COptionButton::Change, this, [this] { ApplyRules(); });
    connect(&m_SelNetworkAdd, &controls::COptionButton::Change, this, [this] { ApplyRules(); });
}

void FWNetworkAddMsgSetup::ActivateForm() {
    // The fields have no label of their own: their frame's caption names them.
    m_NetworkAdd.setAccessibleName(ResString(350));
    m_TotalInstrNetwork.setAccessibleName(ResString(340));
    m_ModeConfig.setValue(m_record.ModeConfig());
    m_SelNetworkAdd.setValue(m_record.SelNetworkAdd());
    m_NetworkAdd.setValue(m_record.NetworkAdd());
    m_TotalInstrNetwork.setValue(m_record.TotalInstrNetwork());
    const NetworkPageEnabling rules =
        NetworkPageRules(m_record.InterfaceType(), m_ModeConfig.Value(), 0, m_Action);
    m_ModeConfig.Activate(1, rules.wholeNetworkOption);
    frmMessage->setVisible(rules.instructions);
    ApplyRules();
}

void FWNetworkAddMsgSetup::ApplyRules() {
    const NetworkPageEnabling rules = NetworkPageRules(
        m_record.InterfaceType(), m_ModeConfig.Value(), m_SelNetworkAdd.Value(), m_Action);
    m_SelNetworkAdd.ActivateGroup(rules.addressGroup);
    m_SelNetworkAdd.Activate(0, rules.automaticOption);
    // Disabling the chosen automatic option moves the choice: the spin follows it.
    const NetworkPageEnabling after = NetworkPageRules(
        m_record.InterfaceType(), m_ModeConfig.Value(), m_SelNetworkAdd.Value(), m_Action);
    m_NetworkAdd.setEnabled(after.addressSpin);
    frmTotalInstrNetwork->setEnabled(after.totalInstruments);
    m_TotalInstrNetwork.setEnabled(after.totalInstruments);
}

void FWNetworkAddMsgSetup::CommitForm() {
    if (m_ModeConfig.Value() >= 0)
        m_record.setModeConfig(m_ModeConfig.Value());
    if (m_SelNetworkAdd.Value() >= 0)
        m_record.setSelNetworkAdd(m_SelNetworkAdd.Value());
    m_record.setNetworkAdd(m_NetworkAdd.Value());
    m_record.setTotalInstrNetwork(m_TotalInstrNetwork.Value());
}

}  // namespace voltaris::wizard
