#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

namespace voltaris {
class ICopyClass;
class CRecord;
}  // namespace voltaris

namespace voltaris::wizard {

// One editing window of the program: shows one settings record, lets the user change it and
// is left by End, Next, Back or Cancel (as a wizard page) or by OK and Cancel (as a dialog).
// The page edits its own copy of the record: SetData copies the caller's record into it,
// GetData copies it out, the controls are filled from it when the page is activated and
// written back by the commit step when the page is left by End, Next or Back.
class WizardPage : public QDialog {
    Q_OBJECT
public:
    // FormType: a page of a wizard, or a dialog of its own.
    enum FormTypes : qint32 { ftDialog = 0, ftWizard = 1 };
    // ButtonRet: how the page was left.
    enum Buttons : qint32 { brEnd = 0, brCancel = 1, brNext = 2, brBack = 3 };

    ~WizardPage() override;

    // Page-specific preparation; may do nothing.
    virtual void Create() {}

    qint32 FormType() const { return m_FormType; }
    void setFormType(qint32 type);
    qint32 ButtonRet() const { return m_ButtonRet; }
    bool FirstTab() const { return m_FirstTab; }
    void setFirstTab(bool on) { m_FirstTab = on; }
    bool LastTab() const { return m_LastTab; }
    void setLastTab(bool on) { m_LastTab = on; }

    // Copy the page's own record (as last committed) into `Data`, or `Data` into it. A page
    // without data does nothing.
    virtual void GetData(ICopyClass& Data) const;
    virtual void SetData(const ICopyClass& Data);

    // Loads the window (font, captions, tool tips, button captions, title size, the page's
    // own loading) and shows it modally. Returns ButtonRet.
    qint32 ShowModal();
    // Shows the loaded window modally and returns ButtonRet (1 unless a button left it).
    qint32 RunModal();
    // The loading steps alone; ShowModal runs them, the wizard runs them before it sizes and
    // places the page.
    void LoadPage();

    // A check of the owner run when the page is left by End, after the page's own validation:
    // false keeps the page (and the wizard) open.
    void setEndCheck(std::function<bool()> check) { m_endCheck = std::move(check); }

    QLabel* title() const { return lblTitle; }
    QPushButton* button(const char* name) const;

signals:
    // The page is on the screen and activated; tests and owners act on it from here.
    void Activated();

protected:
    explicit WizardPage(QWidget* parent = nullptr);

    // Where a page puts its controls, below the title.
    QVBoxLayout* contentLayout() const { return m_content; }
    // The page's own copy of its record; none for a page without data.
    virtual CRecord* PageRecord() { return nullptr; }
    const CRecord* PageRecord() const { return const_cast<WizardPage*>(this)->PageRecord(); }

    // Hooks of a page: its own loading (after the common steps), filling its controls from
    // its copy when it is activated, deciding whether it may be left by End, Next or Back,
    // and writing its controls into its copy after ButtonRet is set.
    virtual void LoadForm() {}
    virtual void ActivateForm() {}
    virtual bool ValidateForm() { return true; }
    virtual void CommitForm() {}

    void showEvent(QShowEvent* event) override;

public slots:
    // Esc and the close box: the page is cancelled.
    void reject() override;

private:
    void Leave(qint32 how);
    void ApplyButtons();

    QLabel* lblTitle;
    QVBoxLayout* m_content;
    QWidget* m_wizardBar;
    QWidget* m_dialogBar;
    QPushButton* cmdEnd;
    QPushButton* cmdCancel;
    QPushButton* cmdNext;
    QPushButton* cmdBack;
    QPushButton* cmdDialogOk;
    QPushButton* cmdDialogCancel;
    qint32 m_FormType = ftWizard;
    qint32 m_ButtonRet = brCancel;
    bool m_FirstTab = false;
    bool m_LastTab = false;
    std::function<bool()> m_endCheck;
};

}  // namespace voltaris::wizard
