#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "TraceCapture.h"
#include "base/ResString.h"
#include "controls/ProgramFont.h"
#include "controls/WindowTexts.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

// (widget, tag) -> the text it shows after loading: a known id gives its text, anything else
// keeps the designed text.
TEST(WindowTexts, CaptionsComeFromTheTagsId) {
    QWidget window;
    window.setWindowTitle("design title");
    window.setProperty(kTagProperty, 301);
    const struct {
        QWidget* widget;
        QVariant tag;
        bool replaced;
    } cases[] = {
        {new QLabel("design", &window), "320", true},
        {new QLabel("design", &window), QVariant(), false},
        {new QLabel("design", &window), "", false},
        {new QLabel("design", &window), "abc", false},
        {new QLabel("design", &window), "999999", false},  // an id without text
        {new QLabel("design", &window), " 320 ", true},
        {new QGroupBox("design", &window), 320, true},
        {new QRadioButton("design", &window), "320", true},
        {new QCheckBox("design", &window), "320", true},
        {new QPushButton("design", &window), "320", false},  // buttons are set by their window
    };
    for (const auto& c : cases)
        c.widget->setProperty(kTagProperty, c.tag);
    test::TraceCapture trace;
    LoadFormCaptions(&window);
    EXPECT_EQ(window.windowTitle(), ResString(301));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag.toString().toStdString() + " on " + c.widget->metaObject()->className());
        QString shown;
        if (auto* l = qobject_cast<QLabel*>(c.widget))
            shown = l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(c.widget))
            shown = g->title();
        else
            shown = static_cast<QAbstractButton*>(c.widget)->text();
        EXPECT_EQ(shown, c.replaced ? ResString(320) : QString("design"));
    }
    EXPECT_EQ(trace.lines, (QStringList{"Inizio caricamento dei caption dei controlli",
                                        "Fine caricamento delle risorse"}));
}

TEST(WindowTexts, ToolTipsFromTheirLeadingNumber) {
    QWidget window;
    const struct {
        QWidget* widget;
        QString tip;
        bool replaced;
    } cases[] = {
        {new QLineEdit(&window), "260", true},
        {new QLineEdit(&window), "260 new file", true},
        {new QLineEdit(&window), "0", false},
        {new QLineEdit(&window), "", false},
        {new QLineEdit(&window), "Press here", false},
        {new QLineEdit(&window), "999999", false},
        {new QComboBox(&window), "260", true},
        {new QRadioButton(&window), "260", true},
        {new QGroupBox(&window), "260", true},
        {new QLabel(&window), "260", false},  // labels carry no tip id
    };
    for (const auto& c : cases)
        c.widget->setToolTip(c.tip);
    LoadFormToolTips(&window);
    for (const auto& c : cases)
        EXPECT_EQ(c.widget->toolTip(), c.replaced ? ResString(260) : c.tip)
            << c.tip.toStdString() << " on " << c.widget->metaObject()->className();
}

TEST(WindowTexts, MenuCaptionsWithTheirTraceLines) {
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu("1001");
    QAction* send = file->addAction("1014");
    file->addSeparator();
    QAction* plain = file->addAction("Plain");
    QMenu* reset = file->addMenu("1016");
    QAction* all = reset->addAction("1017");
    test::TraceCapture trace;
    LoadMenuCaptions(&window);
    EXPECT_EQ(send->text(), ResString(1014));
    EXPECT_EQ(send->text(), "Transmit file...");
    EXPECT_EQ(plain->text(), "Plain");
    EXPECT_EQ(reset->title(), ResString(1016));
    EXPECT_EQ(all->text(), ResString(1017));
    EXPECT_EQ(file->title(), ResString(1001));
    EXPECT_EQ(trace.lines.first(), "Caricamento testi menu");
    EXPECT_TRUE(
        trace.lines.contains("Caricamento dalle risorse del testo del menu 1014=Transmit file..."));
    EXPECT_EQ(trace.lines.size(), 5);  // the header and one line per numbered item (4)
}

// (what the platform draws for each requested face) -> the choice and its trace.
TEST(ProgramFont, ChoosesTheFirstFaceFoundOrItsMetricTwin) {
    const QStringList candidates{"Arial", "MS Sans Serif", "Curier New"};
    const QString failed = "Impossibile caricare il font ";
    const struct {
        const char* what;
        QHash<QString, QString> drawn;
        QString family;
        FontMatch match;
        QStringList trace;  // after the opening line
    } cases[] = {
        {"the face itself", {{"Arial", "Arial"}}, "Arial", FontMatch::Exact, {}},
        {"its metric twin counts as found, and says so",
         {{"Arial", "Liberation Sans"}},
         "Liberation Sans",
         FontMatch::MetricTwin,
         {"Font Arial sostituito da Liberation Sans (stesse metriche)"}},
        {"another face is not the face: the next one is tried",
         {{"Arial", "DejaVu Sans"}, {"MS Sans Serif", "MS Sans Serif"}},
         "MS Sans Serif",
         FontMatch::Exact,
         {failed + "Arial"}},
        {"nothing found keeps the controls' default",
         {{"Arial", "DejaVu Sans"},
          {"MS Sans Serif", "DejaVu Sans"},
          {"Curier New", "DejaVu Sans"}},
         "",
         FontMatch::Missing,
         {failed + "Arial", failed + "MS Sans Serif",
          failed + "Curier New Viene mantenuto il font di default dei controlli"}},
        {"names compare without case", {{"Arial", "arial"}}, "arial", FontMatch::Exact, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FontChoice choice = ChooseProgramFont(
            candidates, [&](const QString& name) { return c.drawn.value(name, "DejaVu Sans"); });
        EXPECT_EQ(choice.family, c.family);
        EXPECT_EQ(choice.match, c.match);
        EXPECT_EQ(choice.trace,
                  QStringList{"Impostazione del font utilizzato nel programma."} + c.trace);
    }
}

TEST(ProgramFont, AppliedToEveryControlKeepingItsWeight) {
    SetProgramFont();
    QWidget window;
    auto* label = new QLabel("x", &window);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSize(20);
    label->setFont(bold);
    auto* edit = new QLineEdit(&window);
    ApplyProgramFont(&window);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(edit)}) {
        EXPECT_EQ(w->font().family(), ProgramFont().family());
        EXPECT_EQ(w->font().pointSizeF(), ProgramFont().pointSizeF());
    }
    EXPECT_TRUE(label->font().bold());
    EXPECT_FALSE(edit->font().bold());
}

}  // namespace
