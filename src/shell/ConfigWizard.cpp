#include "shell/ConfigWizard.h"

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "controls/Icons.h"
#include "model/Configuration.h"
#include "model/Validation.h"
#include "shell/ShellRules.h"
#include "wizard/CWizardTabs.h"
#include "wizard/FWAlarm.h"
#include "wizard/FWAnalogOutSetup.h"
#include "wizard/FWDigOutConfig.h"
#include "wizard/FWFinalSetupMessage.h"
#include "wizard/FWPulseOutSetup.h"
#include "wizard/FWSerialComm.h"
#include "wizard/FWUsoInstr.h"

namespace voltaris::shell {

using wizard::CWizardTabs;
using wizard::WizardPage;

namespace {

// The choices the skip rules read, from the pages' current content: the usage page, and the
// digital outputs' page when the wizard has one (the stored record otherwise).
WizardChoices CurrentChoices(CWizardTabs& tabs, const Configuration& config) {
    CUsoInstr uso;
    tabs.page(1)->GetData(uso);
    WizardChoices c = ChoicesOfModel(uso.InstrModel());
    CDigOutConfig outputs;
    outputs.SetData(config.DigOutConfig());
    if (WizardPage* page = tabs.pageOf(QStringLiteral("CDigOutConfig")))
        page->GetData(outputs);
    c.DigOut1 = outputs.DigOut1();
    c.DigOut2 = outputs.DigOut2();
    c.NumAlarm1 = outputs.NumAlarm1();
    c.NumAlarm2 = outputs.NumAlarm2();
    return c;
}

// The alarm and analogue output pages scale their values by the usage page's model, wiring
// system and ratios: the page's record gets them (and `more`) before it shows.
template <typename Record, typename More>
void PrepareWithUsage(WizardPage& page, const QString& key, const CUsoInstr& uso, More more) {
    Record r;
    r.setClassName(key);
    page.GetData(r);
    r.setInstrModel(uso.InstrModel());
    r.setSystem(uso.System());
    r.setRapportoTA(uso.RapportoTA());
    r.setRapportoTV(uso.RapportoTV());
    more(r);
    page.SetData(r);
}

// Gives a page what it needs from the pages before it, on Next only.
void PreparePage(CWizardTabs& tabs, const QString& key, const WizardChoices& c) {
    WizardPage* page = tabs.pageOf(key);
    if (!page)
        return;
    CUsoInstr uso;
    tabs.page(1)->GetData(uso);
    if (key == QLatin1String("CDigOutConfig")) {
        CDigOutConfig r;
        page->GetData(r);
        r.setModuleTypeLo(c.L);
        page->SetData(r);
    } else if (key == QLatin1String("CAlarm1") || key == QLatin1String("CAlarm2")) {
        PrepareWithUsage<CAlarm>(*page, key, uso, [&](CAlarm& r) {
            r.setNumAlarm(key == QLatin1String("CAlarm1") ? c.NumAlarm1 : c.NumAlarm2);
        });
    } else if (key.startsWith(QLatin1String("CAnalogOutSetup"))) {
        PrepareWithUsage<CAnalogOutSetup>(*page, key, uso, [](CAnalogOutSetup&) {});
    }
}

}  // namespace

std::optional<qint32> EditNewProgramma(QWidget* parent, Archive& archive, int mode, qint32 id,
                                       const QString& name) {
    g_Trace().BugMessage(QStringLiteral("Inizio EditNewProgramma."));
    Configuration config;
    g_Trace().BugMessage(QStringLiteral("Fine istanziamento classi."));

    CWizardTabs tabs;
    // The eleven pages in the wizard's order, each with its record of the configuration.
    tabs.Add(new wizard::FWUsoInstr(parent), &config.UsoInstr());
    tabs.Add(new wizard::FWDigOutConfig(parent), &config.DigOutConfig());
    tabs.Add(new wizard::FWPulseOutSetup(parent), &config.PulseOutSetup(1));
    tabs.Add(new wizard::FWAlarm(parent), &config.Alarm(1));
    tabs.Add(new wizard::FWPulseOutSetup(parent), &config.PulseOutSetup(2));
    tabs.Add(new wizard::FWAlarm(parent), &config.Alarm(2));
    tabs.Add(new wizard::FWSerialComm(parent), &config.SerialComm());
    for (int output = 1; output <= 3; ++output)
        tabs.Add(new wizard::FWAnalogOutSetup(parent), &config.AnalogOutSetup(output));
    auto* final = new wizard::FWFinalSetupMessage(parent);
    tabs.Add(final, nullptr);
    g_Trace().BugMessage(QStringLiteral("Fine preparazione wizard."));

    switch (mode) {
        case kModeEdit:
            config.load(archive, id);
            tabs.setCaption(FormatResString(790, name));
            break;
        case kModeInstrument:
            id = Archive::ReservedId;
            config.load(archive, id);
            tabs.setCaption(ResString(792));
            break;
        default:
            tabs.setCaption(ResString(791));
            break;
    }
    tabs.setIcon(controls::kProgramIconId);

    const auto skip = [&](int& i, const QString& key, bool next) {
        const WizardChoices c = CurrentChoices(tabs, config);
        g_Trace().BugMessage((next ? QStringLiteral("m_WizardInstrSetup_AfterShowNextTabs ")
                                   : QStringLiteral("m_WizardInstrSetup_AfterShowBackTabs ")) +
                             key);
        if (!ConfigPageShown(key, c))
            i += next ? 1 : -1;
        else if (next)
            PreparePage(tabs, key, c);
    };
    QObject::connect(
        &tabs, &CWizardTabs::AfterShowNextTabs,
        [&](int& i, const QList<WizardPage*>&, const QString& key) { skip(i, key, true); });
    QObject::connect(
        &tabs, &CWizardTabs::AfterShowBackTabs,
        [&](int& i, const QList<WizardPage*>&, const QString& key) { skip(i, key, false); });
    // The whole configuration as End would store it must be one the instrument accepts.
    final->setEndCheck([&] {
        Configuration edited;
        for (CArchiveRecord* r : config.Records())
            edited.Record(r->InstanceName())->SetData(*r);
        for (CArchiveRecord* r : edited.Records())
            if (WizardPage* page = tabs.pageOf(r->InstanceName()))
                page->GetData(*r);
        const FieldProblems problems = ValidateConfiguration(edited);
        if (problems.isEmpty())
            return true;
        QStringList lines;
        for (const FieldProblem& p : problems)
            lines << p.message();
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(301),
                                     FormatResString(2921, lines.join(QLatin1Char('\n'))));
        return false;
    });

    g_Trace().BugMessage(QStringLiteral("Fine caricamento configurazione."));
    const qint32 result = tabs.Start();
    std::optional<qint32> saved;
    if (result != WizardPage::brEnd) {
        g_Trace().BugMessage(QStringLiteral("Uscito dal wizard con Annulla."));
    } else {
        g_Trace().BugMessage(QStringLiteral("Uscito dal wizard con OK."));
        switch (mode) {
            case kModeEdit:
                config.update(archive, id);
                saved = id;
                break;
            case kModeInstrument:
                config.saveOver(archive, id);
                saved = id;
                if (UserMessages::current().askYesNo(UserMessages::Icon::Question, ResString(301),
                                                     ResString(797)) == UserMessages::Answer::Yes) {
                    config.copyToNewId(archive);
                }
                break;
            default:
                saved = config.create(archive);
                break;
        }
    }
    tabs.RemoveAll();
    g_Trace().BugMessage(QStringLiteral("Fine EditNewProgramma. Memoria fisica libera:") +
                         QString::number(g_Trace().FreePhysicalMemory()) +
                         QStringLiteral(" Memoria virtuale libera: ") +
                         QString::number(g_Trace().FreeVirtualMemory()));
    return saved;
}

}  // namespace voltaris::shell
