#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QToolButton>

#include "TraceCapture.h"
#include "WizardTestSupport.h"
#include "base/ResString.h"
#include "model/CUsoInstr.h"
#include "model/ModelCatalogue.h"
#include "wizard/FWFinalSetupMessage.h"
#include "wizard/FWUsoInstr.h"

using namespace voltaris;
using namespace voltaris::test;
using voltaris::wizard::CWizardTabs;
using voltaris::wizard::FWUsoInstr;
using voltaris::wizard::ModelIdText;
using voltaris::wizard::ShownSystem;
using voltaris::wizard::UsoInstrEnabling;
using voltaris::wizard::UsoInstrPageRules;
using voltaris::wizard::WizardPage;

namespace {

constexpr qint32 KM51_R2 = 0x00230004;
constexpr qint32 KM51_O2 = 0x01230004;
constexpr qint32 KM53_R2 = 0x00210004;
constexpr qint32 KM53_A3 = 0x00210303;
constexpr qint32 KM61_R2 = 0x00240004;
constexpr qint32 KM61_O2 = 0x01240004;
constexpr qint32 KM63_RS = 0x00220010;

constexpr std::array<bool, 5> kAllSystems{true, true, true, true, true};
constexpr std::array<bool, 5> kSingleOrBalanced{false, true, false, false, true};

// The systems a base instrument allows, told by the model's name as the catalogue gives it:
// the three-phase ranges (x.3) measure every wiring, the x.1 ranges only two.
std::optional<std::array<bool, 5>> SystemsByName(const QString& name) {
    if (name.startsWith(QLatin1String("KM5.3.")) || name.startsWith(QLatin1String("KM6.3.")))
        return kAllSystems;
    if (name.startsWith(QLatin1String("KM5.1.")) || name.startsWith(QLatin1String("KM6.1.")))
        return kSingleOrBalanced;
    return std::nullopt;
}

TEST(UsoInstrPageRules, EveryCatalogueModel) {
    const QList<ModelEntry>& entries = ModelCatalogue::standard().entries();
    ASSERT_FALSE(entries.isEmpty());
    for (const ModelEntry& e : entries) {
        SCOPED_TRACE(e.name.toStdString());
        const std::optional<std::array<bool, 5>> systems = SystemsByName(e.name);
        ASSERT_TRUE(systems) << "a base instrument the table does not know";
        // No catalogued model has a field-bus module.
        EXPECT_EQ(UsoInstrPageRules(e.id), (UsoInstrEnabling{false, *systems}));
    }
}

TEST(UsoInstrPageRules, FieldBusAddressOnlyForTheLow16BitsFive) {
    const struct {
        qint32 model;
        UsoInstrEnabling expected;
    } cases[] = {
        {0x00210005, {true, kAllSystems}},
        {0x01220005, {true, kAllSystems}},  // the variant byte does not matter
        {0x00230005, {true, kSingleOrBalanced}},
        {0x00250005, {true, kSingleOrBalanced}},  // unknown base instrument: 1 and 4 only
        {0x00000005, {true, kSingleOrBalanced}},
        {0x00210105, {false, kAllSystems}},  // type code 5 with an analogue output count
        {0x00210015, {false, kAllSystems}},
        {0x00050000, {false, kSingleOrBalanced}},
        {0, {false, kSingleOrBalanced}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ModelIdText(c.model).toStdString());
        EXPECT_EQ(UsoInstrPageRules(c.model), c.expected);
    }
}

TEST(UsoInstrPageRules, ShownSystem) {
    const struct {
        qint32 model;
        qint16 stored, shown;
    } cases[] = {
        {KM53_R2, 0, 0},
        {KM53_R2, 2, 2},
        {KM63_RS, 3, 3},
        {KM51_R2, 1, 1},
        {KM61_R2, 4, 4},
        // not offered by the model: the page settles on "Balanced, 3-phase with neutral"
        {KM51_R2, 0, 4},
        {KM61_R2, 2, 4},
        {KM51_O2, 3, 4},
        // outside the range: the system a new configuration gets
        {KM53_R2, 9, 0},
        {KM63_RS, -1, 0},
        {KM61_R2, 5, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << ModelIdText(c.model).toStdString() << " " << c.stored);
        EXPECT_EQ(ShownSystem(c.model, c.stored), c.shown);
    }
}

// Shows the page as a dialog, runs `act` once it is on the screen (as a user who sees it),
// and returns how the page was left. A page that `act` leaves open is cancelled.
qint32 RunPage(WizardPage& page, const std::function<void()>& act) {
    page.setFormType(WizardPage::ftDialog);
    QObject::connect(&page, &WizardPage::Activated, &page, [&] {
        QTimer::singleShot(0, &page, [&] {
            act();
            if (page.isVisible()) {
                ADD_FAILURE() << "the page was left open";
                page.reject();
            }
        });
    });
    return page.ShowModal();
}

template <typename T>
T* Child(const QWidget& page, const QString& name) {
    T* w = page.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

QString OptionName(int system) {
    return QStringLiteral("optSystem%1").arg(system + 1);
}

QString Shown(const QWidget& page, const QString& field) {
    return Child<QLineEdit>(page, field)->text();
}

qint16 CheckedSystem(const QWidget& page) {
    for (int i = 0; i < 5; ++i)
        if (Child<QRadioButton>(page, OptionName(i))->isChecked())
            return qint16(i);
    return -1;
}

void Press(const WizardPage& page, const char* name) {
    page.button(name)->click();
}

// The fields as the page shows them, and the record they come back as.
struct RoundTripCase {
    const char* what;
    const char* locale;
    QString name;
    qint32 model;
    qint16 system;
    qint32 tv, ta;
    qint16 filterScale, filterCoeff, intTimePot, intTimeCorr, vexbus;
    // shown: model, VT ratio, CT ratio, filter range, filter coefficient, demand, thermal
    QStringList shown;
};

TEST(UsoInstrPage, ShowsTheRecordAndGivesItBackUnchanged) {
    const RoundTripCase cases[] = {
        {"upper limits",
         "C",
         QStringLiteral("Quadro Nord"),
         KM53_A3,
         3,
         60000,
         60000,
         100,
         32,
         30,
         30,
         255,
         {"KM5.3.x.A3.KX", "6000.0", "60000", "100 %", "32", "30", "30"}},
        {"lower limits; the variant byte picks O2, not R2",
         "C",
         QString::fromUtf8("Cabina \u00e8 <b>1</b>"),
         KM61_O2,
         1,
         10,
         1,
         0,
         1,
         1,
         1,
         1,
         {"KM6.1.x.O2.KX", "1.0", "1", "0 %", "1", "1", "1"}},
        {"tenths of the VT ratio with the user's decimal comma",
         "de_DE",
         QStringLiteral("Linea 2"),
         KM63_RS,
         2,
         25,
         150,
         50,
         16,
         15,
         10,
         7,
         {"KM6.3.x.RS.KX", "2,5", "150", "50 %", "16", "15", "10"}},
        {"6000.0 with the decimal comma",
         "de_DE",
         QStringLiteral("Linea 3"),
         KM51_O2,
         4,
         60000,
         5,
         1,
         1,
         15,
         15,
         1,
         {"KM5.1.x.O2.KX", "6000,0", "5", "1 %", "1", "15", "15"}},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        const QLocale before;
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        CUsoInstr record;
        record.setNomeProgramma(c.name);
        record.setInstrModel(c.model);
        record.setSystem(c.system);
        record.setRapportoTV(c.tv);
        record.setRapportoTA(c.ta);
        record.setFilterScale(c.filterScale);
        record.setFilterCoeff(c.filterCoeff);
        record.setIntTimePot(c.intTimePot);
        record.setIntTimeCorr(c.intTimeCorr);
        record.setNetworkAddVexbus(c.vexbus);
        FWUsoInstr page;
        page.SetData(record);
        TraceCapture trace;
        const qint32 left = RunPage(page, [&] {
            EXPECT_EQ(Shown(page, "txtProgramName"), c.name);
            EXPECT_EQ(Child<QComboBox>(page, "cmbInstrModel")->currentText(), c.shown[0]);
            EXPECT_EQ(Shown(page, "txtRapportoTV"), c.shown[1]);
            EXPECT_EQ(Shown(page, "txtRapportoTA"), c.shown[2]);
            EXPECT_EQ(Shown(page, "txtFilterScale"), c.shown[3]);
            EXPECT_EQ(Shown(page, "txtFilterCoeff"), c.shown[4]);
            EXPECT_EQ(Shown(page, "txtIntTimePot"), c.shown[5]);
            EXPECT_EQ(Shown(page, "txtIntTimeCorr"), c.shown[6]);
            EXPECT_EQ(page.m_NetworkAddVexbus.Value(), c.vexbus);
            EXPECT_EQ(CheckedSystem(page), c.system);
            EXPECT_FALSE(Child<QLabel>(page, "lblModelWarning")->isVisible());
            EXPECT_FALSE(Child<QLabel>(page, "lblNameNote")->isVisible());
            Press(page, "cmdDialogOk");
        });
        QLocale::setDefault(before);
        EXPECT_EQ(left, WizardPage::brEnd);
        EXPECT_TRUE(trace.messages.entries().isEmpty());
        CUsoInstr after;
        page.GetData(after);
        EXPECT_TRUE(after.SameData(record));
        EXPECT_EQ(after.InstrModel(), c.model);
        EXPECT_EQ(after.NomeProgramma(), c.name);
    }
}

TEST(UsoInstrPage, LoadsItsTitleAndTheCatalogue) {
    CUsoInstr record;
    record.setInstrModel(KM61_R2);
    FWUsoInstr page;
    page.SetData(record);
    TraceCapture trace;
    RunPage(page, [&] {
        EXPECT_EQ(page.title()->text(), ResString(620));
        EXPECT_EQ(page.title()->font().pointSize(), 12);
        const auto* list = Child<QComboBox>(page, "cmbInstrModel");
        const QList<ModelEntry>& entries = ModelCatalogue::standard().entries();
        ASSERT_EQ(list->count(), entries.size());
        for (int i = 0; i < list->count(); ++i) {
            EXPECT_EQ(list->itemText(i), entries[i].name);
            EXPECT_EQ(list->itemData(i).toInt(), entries[i].id);
        }
        EXPECT_EQ(list->findText(QStringLiteral("FE")), -1);
        page.reject();
    });
    EXPECT_TRUE(trace.lines.contains(QStringLiteral("Load form:Instrument working mode...")))
        << trace.lines.join('\n').toStdString();
}

// Every field of the page is found by what a screen reader reads, and no two alike.
TEST(UsoInstrPage, FieldsHaveUniqueNames) {
    FWUsoInstr page;
    page.SetData(CUsoInstr());
    RunPage(page, [&] {
        QStringList names;
        for (const QLineEdit* box : page.findChildren<QLineEdit*>()) {
            const auto* buddy = [&]() -> const QLabel* {
                for (const QLabel* l : page.findChildren<QLabel*>())
                    if (l->buddy() == box)
                        return l;
                return nullptr;
            }();
            const QString name = !box->accessibleName().isEmpty() ? box->accessibleName()
                                 : buddy                          ? buddy->text()
                                                                  : QString();
            EXPECT_FALSE(name.isEmpty()) << box->objectName().toStdString();
            names << name;
        }
        for (const QToolButton* arrow : page.findChildren<QToolButton*>())
            names << arrow->accessibleName();
        const auto* list = Child<QComboBox>(page, "cmbInstrModel");
        const QLabel* listLabel = Child<QLabel>(page, "lblInstrModel");
        EXPECT_EQ(listLabel->buddy(), list);
        names << listLabel->text();
        for (const QString& n : names)
            EXPECT_EQ(names.count(n), 1) << n.toStdString();
        page.reject();
    });
}

// A model allowing fewer systems moves the choice; the field-bus address follows the model.
TEST(UsoInstrPage, FollowsTheChosenModel) {
    CUsoInstr record;
    record.setInstrModel(KM53_R2);
    record.setSystem(0);
    FWUsoInstr page;
    page.SetData(record);
    RunPage(page, [&] {
        auto* list = Child<QComboBox>(page, "cmbInstrModel");
        const QList<ModelEntry>& entries = ModelCatalogue::standard().entries();
        for (int i = 0; i < entries.size(); ++i) {
            SCOPED_TRACE(entries[i].name.toStdString());
            list->setCurrentIndex(i);
            const UsoInstrEnabling rules = UsoInstrPageRules(entries[i].id);
            for (int s = 0; s < 5; ++s)
                EXPECT_EQ(Child<QRadioButton>(page, OptionName(s))->isEnabled(),
                          rules.systems[size_t(s)]);
            EXPECT_EQ(Child<QWidget>(page, "frmNetworkAddVexbus")->isEnabled(), false);
            EXPECT_EQ(Child<QLineEdit>(page, "txtNetworkAddVexbus")->isEnabled(), false);
            EXPECT_TRUE(rules.systems[size_t(CheckedSystem(page))]);
        }
        // From a three-phase range with system 0 to a single-range model: the last option
        // still offered is chosen.
        list->setCurrentIndex(list->findText(QStringLiteral("KM6.3.x.R2.KX")));
        Child<QRadioButton>(page, "optSystem1")->click();
        list->setCurrentIndex(list->findText(QStringLiteral("KM6.1.x.A1.KX")));
        EXPECT_EQ(CheckedSystem(page), 4);
        Press(page, "cmdDialogOk");
    });
    CUsoInstr after;
    page.GetData(after);
    EXPECT_EQ(after.InstrModel(), 0x00240103);
    EXPECT_EQ(after.System(), 4);
}

// A stored system the model does not offer is brought to one it offers, and said so.
TEST(UsoInstrPage, SettlesAStoredSystemTheModelDoesNotOffer) {
    const struct {
        qint32 model;
        qint16 stored, shown;
        const char* trace;  // nullptr: none
    } cases[] = {
        {KM51_R2, 0, 4,
         "Sistema di inserzione 0 non ammesso per il modello 0x00230004: impostato 4"},
        {KM61_R2, 2, 4,
         "Sistema di inserzione 2 non ammesso per il modello 0x00240004: impostato 4"},
        {KM63_RS, 9, 0,
         "Sistema di inserzione 9 non ammesso per il modello 0x00220010: impostato 0"},
        {KM53_R2, 2, 2, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << ModelIdText(c.model).toStdString() << " " << c.stored);
        CUsoInstr record;
        record.setInstrModel(c.model);
        record.setSystem(c.stored);
        FWUsoInstr page;
        page.SetData(record);
        TraceCapture trace;
        RunPage(page, [&] {
            EXPECT_EQ(CheckedSystem(page), c.shown);
            Press(page, "cmdDialogOk");
        });
        const bool traced = trace.lines.filter(QStringLiteral("Sistema di inserzione")).size() > 0;
        EXPECT_EQ(traced, c.trace != nullptr);
        if (c.trace) {
            EXPECT_TRUE(trace.lines.contains(QLatin1String(c.trace)))
                << trace.lines.join('\n').toStdString();
        }
        CUsoInstr after;
        page.GetData(after);
        EXPECT_EQ(after.System(), c.shown);
    }
}

// A new record names no model: the page starts on the first one, without a warning.
TEST(UsoInstrPage, ANewRecordStartsOnTheFirstModel) {
    FWUsoInstr page;
    page.SetData(CUsoInstr());
    TraceCapture trace;
    RunPage(page, [&] {
        EXPECT_EQ(Shown(page, "txtProgramName"), ResString(639));
        EXPECT_EQ(Child<QComboBox>(page, "cmbInstrModel")->currentIndex(), 0);
        EXPECT_FALSE(Child<QLabel>(page, "lblModelWarning")->isVisible());
        Press(page, "cmdDialogOk");
    });
    EXPECT_TRUE(trace.messages.entries().isEmpty());
    CUsoInstr after;
    page.GetData(after);
    EXPECT_EQ(after.InstrModel(), ModelCatalogue::standard().entries().first().id);
    EXPECT_EQ(after.System(), 4);  // the first model (a KM5.1) has no system 0
}

// A read-back or an imported file naming a model the program does not know: the page shows
// it, does not swap it for another, and is left only once a model is chosen.
TEST(UsoInstrPage, AStoredModelOutsideTheCatalogueMustBeChosen) {
    CUsoInstr record;
    record.setNomeProgramma(QStringLiteral("Letto"));
    record.setInstrModel(0x00250005);
    record.setSystem(1);
    record.setNetworkAddVexbus(42);
    FWUsoInstr page;
    page.SetData(record);
    TraceCapture trace;
    RunPage(page, [&] {
        auto* list = Child<QComboBox>(page, "cmbInstrModel");
        const auto* warning = Child<QLabel>(page, "lblModelWarning");
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_TRUE(warning->isVisible());
        EXPECT_TRUE(warning->text().contains(QLatin1String("0x00250005")))
            << warning->text().toStdString();
        // What the stored identifier allows stays visible: its field-bus address.
        EXPECT_TRUE(Child<QLineEdit>(page, "txtNetworkAddVexbus")->isEnabled());
        EXPECT_EQ(Shown(page, "txtNetworkAddVexbus"), QStringLiteral("42"));

        Press(page, "cmdDialogOk");
        EXPECT_TRUE(page.isVisible());
        ASSERT_EQ(trace.messages.entries().size(), 1);
        const RecordingMessages::Entry& m = trace.messages.entries().first();
        EXPECT_EQ(m.icon, UserMessages::Icon::Warning);
        EXPECT_TRUE(m.text.contains(QLatin1String("0x00250005"))) << m.text.toStdString();
        EXPECT_EQ(page.focusWidget(), list);

        list->setCurrentIndex(list->findText(QStringLiteral("KM5.3.x.R2.KX")));
        EXPECT_FALSE(warning->isVisible());
        EXPECT_FALSE(Child<QLineEdit>(page, "txtNetworkAddVexbus")->isEnabled());
        Press(page, "cmdDialogOk");
    });
    EXPECT_TRUE(trace.lines.contains(
        QStringLiteral("Modello strumento 0x00250005 non presente in elenco")));
    CUsoInstr after;
    page.GetData(after);
    EXPECT_EQ(after.InstrModel(), KM53_R2);
    EXPECT_EQ(after.NomeProgramma(), QStringLiteral("Letto"));
    EXPECT_EQ(after.System(), 1);
    EXPECT_EQ(after.NetworkAddVexbus(), 42);
}

// The name follows the command line's rule; what an exchange file would make of it is said
// under the field, without refusing it.
TEST(UsoInstrPage, TheNameIsCheckedWhenThePageIsLeft) {
    const struct {
        QString name;
        const char* refusal;  // part of the message; nullptr when the name is taken
        QString inFile;       // what the note says a file holds; empty: no note
    } cases[] = {
        {QString(), "a configuration name is needed", {}},
        {QStringLiteral("   "), "a configuration name is needed", {}},
        {QString(256, u'x'), "256 characters, at most 255", QString(50, u'x')},
        {QStringLiteral("Linea\t2"), "control character U+0009", {}},
        {QStringLiteral("Quadro Nord"), nullptr, {}},
        {QString::fromUtf8("Cabina \u00e8"), nullptr, {}},
        {QString(255, u'y'), nullptr, QString(50, u'y')},
        {QString::fromUtf8("Feeder \u2603"), nullptr, QStringLiteral("Feeder ?")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.left(20).toStdString());
        CUsoInstr record;
        record.setInstrModel(KM53_R2);
        record.setNomeProgramma(QStringLiteral("Prima"));
        FWUsoInstr page;
        page.SetData(record);
        TraceCapture trace;
        const qint32 left = RunPage(page, [&] {
            auto* name = Child<QLineEdit>(page, "txtProgramName");
            name->setText(c.name);
            const auto* note = Child<QLabel>(page, "lblNameNote");
            EXPECT_EQ(note->isVisible(), !c.inFile.isEmpty());
            if (!c.inFile.isEmpty()) {
                EXPECT_TRUE(note->text().contains('"' + c.inFile + '"'))
                    << note->text().toStdString();
            }
            Press(page, "cmdDialogOk");
            if (!c.refusal)
                return;
            EXPECT_TRUE(page.isVisible());
            EXPECT_EQ(page.focusWidget(), name);
            page.reject();
        });
        CUsoInstr after;
        page.GetData(after);
        if (c.refusal) {
            EXPECT_EQ(left, WizardPage::brCancel);
            ASSERT_EQ(trace.messages.entries().size(), 1);
            const RecordingMessages::Entry& m = trace.messages.entries().first();
            EXPECT_EQ(m.icon, UserMessages::Icon::Warning);
            EXPECT_TRUE(m.text.contains(QLatin1String(c.refusal))) << m.text.toStdString();
            EXPECT_EQ(after.NomeProgramma(), QStringLiteral("Prima"));
        } else {
            EXPECT_EQ(left, WizardPage::brEnd);
            EXPECT_TRUE(trace.messages.entries().isEmpty());
            EXPECT_EQ(after.NomeProgramma(), c.name);  // as typed: nothing cut or trimmed
        }
    }
}

// The page in the configuration wizard: Cancel keeps the record, End gives the edits, and
// a blank name keeps the user on the page.
TEST(UsoInstrPage, InTheWizard) {
    const struct {
        const char* what;
        QList<UserStep> steps;
        qint32 result;
        QStringList trail;
        int messages;
        bool changed;
    } cases[] = {
        {"edits, Next, Back, Next, then Cancel on the last page",
         {{"FWUsoInstr", {}, "cmdNext", {}, {"optSystem2"}, {{"txtProgramName", "Nuovo nome"}}},
          {"FWFinalSetupMessage", {}, "cmdBack"},
          {"FWUsoInstr", {}, "cmdNext"},
          {"FWFinalSetupMessage", {}, "Escape"}},
         WizardPage::brCancel,
         {"FWUsoInstr", "FWFinalSetupMessage", "FWUsoInstr", "FWFinalSetupMessage"},
         0,
         false},
        {"edits and Cancel on the page itself",
         {{"FWUsoInstr", {}, "cmdCancel", {}, {"optSystem2"}, {{"txtProgramName", "Altro"}}}},
         WizardPage::brCancel,
         {"FWUsoInstr"},
         0,
         false},
        {"a blank name is refused on Next, then a name and End",
         {{"FWUsoInstr", {}, "cmdNext", {}, {"optSystem2"}, {{"txtProgramName", " "}}},
          {"FWUsoInstr", {}, "cmdNext", {}, {}, {{"txtProgramName", "Nuovo nome"}}},
          {"FWFinalSetupMessage", {}, "cmdEnd"}},
         WizardPage::brEnd,
         {"FWUsoInstr", "FWUsoInstr", "FWFinalSetupMessage"},
         1,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CUsoInstr record;
        record.setNomeProgramma(QStringLiteral("Quadro Nord"));
        record.setInstrModel(KM53_A3);
        record.setSystem(3);
        CUsoInstr before;
        before.SetData(record);
        CWizardTabs tabs;
        tabs.Add(new FWUsoInstr, &record);
        tabs.Add(new wizard::FWFinalSetupMessage, nullptr);
        ScriptedUser user(c.steps);
        user.Attach(tabs);
        TraceCapture trace;
        EXPECT_EQ(tabs.Start(), c.result);
        EXPECT_EQ(user.trail.join(",").toStdString(), c.trail.join(",").toStdString());
        EXPECT_EQ(user.problems.join(" | ").toStdString(), "");
        EXPECT_EQ(trace.messages.entries().size(), c.messages);
        if (c.changed) {
            EXPECT_EQ(record.NomeProgramma(), QStringLiteral("Nuovo nome"));
            EXPECT_EQ(record.System(), 1);
        } else {
            EXPECT_TRUE(record.SameData(before));
        }
    }
}

}  // namespace
