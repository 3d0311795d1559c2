#pragma once

#include <array>

#include "controls/CTextSpin.h"
#include "controls/ChoiceGroups.h"
#include "model/CUsoInstr.h"
#include "wizard/WizardPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace voltaris::wizard {

// What the usage page lets the user set for a model.
struct UsoInstrEnabling {
    bool fieldBusAddress;         // frmNetworkAddVexbus and its field
    std::array<bool, 5> systems;  // the wiring systems 0..4 (optSystem1..optSystem5)
    bool operator==(const UsoInstrEnabling&) const = default;
};
// The field-bus address only where the low 16 bits of the identifier are 5 (a field-bus
// module without analogue outputs); the wiring systems as SystemOffered says.
UsoInstrEnabling UsoInstrPageRules(qint32 model);
// The wiring system the page shows for a stored one: the stored system when the model
// offers it, else the one the page settles on (SettledSystem).
qint16 ShownSystem(qint32 model, qint16 stored);
// The identifier as the page names it: "0x" and eight hexadecimal digits.
QString ModelIdText(qint32 model);

// The first page of the configuration wizard: the configuration's name, the instrument
// model and the measuring settings every model has (CUsoInstr).
//
// A stored model that is not in the catalogue is not replaced behind the user's back: the
// list shows no choice, a note beside it names the stored identifier, and the page is not
// left by End, Next or Back until a model is chosen. A new record (model 0) opens on the
// first model of the list. A blank or otherwise unusable name keeps the page open as well.
class FWUsoInstr : public WizardPage {
    Q_OBJECT
public:
    explicit FWUsoInstr(QWidget* parent = nullptr);

    controls::CComboBox m_InstrModel;
    controls::COptionButton m_System;
    controls::CTextSpin m_IntTimePot;
    controls::CTextSpin m_IntTimeCorr;
    controls::CTextSpinLong m_RapportoTV;
    controls::CTextSpinLong m_RapportoTA;
    controls::CTextSpin m_FilterScale;
    controls::CTextSpin m_FilterCoeff;
    controls::CTextSpin m_NetworkAddVexbus;

protected:
    CRecord* PageRecord() override { return &m_record; }
    void LoadForm() override;
    void ActivateForm() override;
    bool ValidateForm() override;
    void CommitForm() override;

private:
    void ApplyRules(qint32 model);
    void ShowNameNote();
    void FitSpinFields();

    CUsoInstr m_record;
    // The model the record held when the page was activated.
    qint32 m_storedModel = 0;
    QLineEdit* txtProgramName;
    QLabel* lblNameNote;
    QComboBox* cmbInstrModel;
    QLabel* lblModelWarning;
    QGroupBox* frmNetworkAddVexbus;
};

}  // namespace voltaris::wizard
