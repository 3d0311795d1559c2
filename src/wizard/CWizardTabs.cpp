#include "wizard/CWizardTabs.h"

#include <QApplication>
#include <QScreen>

#include "base/Errors.h"
#include "controls/Icons.h"
#include "model/ICopyClass.h"

namespace voltaris::wizard {

CWizardTabs::CWizardTabs(QObject* parent)
    : QObject(parent), m_placeholder(std::make_unique<CCopyClass>()) {}

CWizardTabs::~CWizardTabs() {
    RemoveAll();
}

void CWizardTabs::setFileName(const QString& name) {
    m_FileName = name;
    for (ICopyClass* record : m_records)
        record->setFileName(name);
}

ICopyClass* CWizardTabs::PointerClass(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    for (ICopyClass* record : m_records)
        if (record->InstanceName() == name)
            return record;
    return nullptr;
}

WizardPage* CWizardTabs::pageOf(const QString& key) const {
    if (key.isEmpty())
        return nullptr;
    for (qsizetype i = 0; i < m_records.size(); ++i)
        if (m_records[i]->InstanceName() == key)
            return m_pages[i];
    return nullptr;
}

void CWizardTabs::Add(WizardPage* DlgTab, ICopyClass* Data) {
    if (Data && PointerClass(Data->InstanceName())) {
        const QString name = Data->InstanceName();
        delete DlgTab;
        throw VoltarisError(QStringLiteral("The wizard already has a page for %1.").arg(name));
    }
    m_pages.append(DlgTab);
    m_records.append(Data ? Data : m_placeholder.get());
}

void CWizardTabs::RemoveAll() {
    const QList<WizardPage*> pages = std::exchange(m_pages, {});
    m_records.clear();
    for (WizardPage* page : pages)
        delete page;
}

QString CWizardTabs::KeyOf(int index) const {
    if (index < 1 || index > m_records.size())
        return {};
    return m_records[index - 1]->InstanceName();
}

void CWizardTabs::Show(WizardPage* page) {
    page->LoadPage();
    if (!m_Caption.isEmpty())
        page->setWindowTitle(m_Caption);
    // Every page of a wizard shows the wizard's caption; a screen reader also hears the page's
    // own title, so that moving to the next page is announced as a new window.
    const QString own = page->title()->text();
    page->setAccessibleName(own.isEmpty() || own == page->windowTitle()
                                ? page->windowTitle()
                                : page->windowTitle() + QStringLiteral(" - ") + own);
    if (m_Icon != -1)
        page->setWindowIcon(controls::IconResource(m_Icon));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (QWidget* active = QApplication::activeWindow())
        screen = active->screen();
    if (screen)
        page->move(m_placement.Place(screen->availableGeometry(), page->size()));
}

int CWizardTabs::Skip(int from, int step) {
    int i = from, t = from + step;
    do {
        i = t;
        if (step > 0)
            emit AfterShowNextTabs(t, m_pages, KeyOf(t));
        else
            emit AfterShowBackTabs(t, m_pages, KeyOf(t));
    } while (t != i);
    // A handler that stepped past either end leaves the user where they were.
    return (i < 1 || i > m_pages.size()) ? from : i;
}

qint32 CWizardTabs::Start() {
    if (m_pages.isEmpty())
        return WizardPage::brCancel;
    m_placement.Forget();
    if (m_pages.size() == 1) {
        WizardPage* page = m_pages.first();
        page->SetData(*m_records.first());
        page->setFormType(WizardPage::ftDialog);
        page->setFirstTab(false);
        page->setLastTab(false);
        Show(page);
        if (page->RunModal() != WizardPage::brEnd)
            return WizardPage::brCancel;
        page->GetData(*m_records.first());
        return WizardPage::brEnd;
    }

    for (WizardPage* page : m_pages) {
        page->setFormType(WizardPage::ftWizard);
        page->setFirstTab(page == m_pages.first());
        page->setLastTab(page == m_pages.last());
    }
    for (qsizetype k = 0; k < m_pages.size(); ++k)
        m_pages[k]->SetData(*m_records[k]);

    int i = 1;
    for (;;) {
        emit BeforeShowTabs(i, m_pages, KeyOf(i));
        i = qBound(1, i, int(m_pages.size()));
        WizardPage* page = m_pages[i - 1];
        Show(page);
        switch (page->RunModal()) {
            case WizardPage::brNext:
                i = Skip(i, +1);
                break;
            case WizardPage::brBack:
                i = Skip(i, -1);
                break;
            case WizardPage::brCancel:
                return WizardPage::brCancel;
            case WizardPage::brEnd:
                for (qsizetype k = 0; k < m_pages.size(); ++k)
                    m_pages[k]->GetData(*m_records[k]);
                return WizardPage::brEnd;
            default:
                break;  // shown again
        }
    }
}

void CWizardTabs::SaveData(const QString& NomeFile) {
    for (ICopyClass* record : m_records)
        record->SaveData(NomeFile);
}

void CWizardTabs::LoadData(const QString& NomeFile) {
    for (ICopyClass* record : m_records)
        record->LoadData(NomeFile);
}

void CWizardTabs::SaveDataInADORS(Archive& archive, const QVariant& criterion) {
    for (ICopyClass* record : m_records)
        record->SaveDataInADORS(archive, criterion);
}

void CWizardTabs::LoadDataFromADORS(Archive& archive, const QVariant& criterion) {
    for (ICopyClass* record : m_records)
        record->LoadDataFromADORS(archive, criterion);
}

}  // namespace voltaris::wizard
