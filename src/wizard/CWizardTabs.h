#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>

#include "wizard/PagePlacement.h"
#include "wizard/WizardPage.h"

namespace voltaris {
class Archive;
class CCopyClass;
class ICopyClass;
}  // namespace voltaris

namespace voltaris::wizard {

// Strings pages into a wizard. Each page comes with the record it edits (keyed by the
// record's instance name; a page without data gets the wizard's empty placeholder record).
// Start copies every record into its page, shows the pages one after another, lets the owner
// skip pages through the three events, and copies the pages back into the records only when
// the user finishes with End: after Cancel the records are as they were.
class CWizardTabs : public QObject {
    Q_OBJECT
public:
    explicit CWizardTabs(QObject* parent = nullptr);
    // Unloads and deletes every page.
    ~CWizardTabs() override;

    qint32 CountDialogs() const { return qint32(m_pages.size()); }
    QString FileName() const { return m_FileName; }
    // Also the file name of every record, in page order.
    void setFileName(const QString& name);
    QString Caption() const { return m_Caption; }
    void setCaption(const QString& caption) { m_Caption = caption; }
    // The icon resource given to every page as its window icon; -1 leaves each page's own.
    void setIcon(qint16 id) { m_Icon = id; }
    // The record of that key; nullptr when no page has it.
    ICopyClass* PointerClass(const QString& name) const;

    // Appends a page (the wizard owns it from now on) and its record (the caller's; nullptr
    // for a page without data). A second record of the same name is refused (VoltarisError)
    // and the page is deleted.
    void Add(WizardPage* DlgTab, ICopyClass* Data);
    // Deletes every page and forgets the records.
    void RemoveAll();
    // 0 when the user finished with End (or OK), 1 when the wizard was cancelled.
    qint32 Start();

    // The same call on every record, in page order.
    void SaveData(const QString& NomeFile);
    void LoadData(const QString& NomeFile);
    void SaveDataInADORS(Archive& archive, const QVariant& criterion);
    void LoadDataFromADORS(Archive& archive, const QVariant& criterion);

    // The page at 1-based `index`, nullptr outside the wizard.
    WizardPage* page(int index) const { return m_pages.value(index - 1); }
    // The page whose record has instance name `key`; nullptr when none has.
    WizardPage* pageOf(const QString& key) const;

signals:
    // iTabs is the 1-based index of the page about to be shown; the handlers of the two
    // After events may change it to skip pages (they run at once, in the wizard's loop:
    // connect them directly).
    void BeforeShowTabs(int& iTabs, const QList<WizardPage*>& CollData, const QString& ClassName);
    void AfterShowNextTabs(int& iTabs, const QList<WizardPage*>& CollData,
                           const QString& ClassName);
    void AfterShowBackTabs(int& iTabs, const QList<WizardPage*>& CollData,
                           const QString& ClassName);

private:
    QString KeyOf(int index) const;
    void Show(WizardPage* page);
    // Raises Next (+1) or Back (-1) from page `from` until no handler moves the index; the
    // page to show, or `from` when the handlers stepped outside the wizard.
    int Skip(int from, int step);

    QList<WizardPage*> m_pages;
    QList<ICopyClass*> m_records;
    std::unique_ptr<CCopyClass> m_placeholder;
    QString m_FileName;
    QString m_Caption;
    qint16 m_Icon = -1;
    PagePlacement m_placement;
};

}  // namespace voltaris::wizard
