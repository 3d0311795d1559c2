#include "controls/ProgramFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QWidget>

#include "base/CTraceCode.h"
#include "base/ResString.h"

namespace voltaris::controls {

namespace {

QFont& StoredFont() {
    static QFont font;
    return font;
}

bool g_fontChosen = false;

}  // namespace

QString MetricTwin(const QString& family) {
    static const QList<std::pair<QString, QString>> twins = {
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")},
    };
    for (const auto& [face, twin] : twins)
        if (face.compare(family.trimmed(), Qt::CaseInsensitive) == 0)
            return twin;
    return {};
}

FontMatch MatchFont(const QString& requested, const QString& reported) {
    if (requested.trimmed().compare(reported, Qt::CaseInsensitive) == 0)
        return FontMatch::Exact;
    const QString twin = MetricTwin(requested);
    if (!twin.isEmpty() && twin.compare(reported, Qt::CaseInsensitive) == 0)
        return FontMatch::MetricTwin;
    return FontMatch::Missing;
}

FontChoice ChooseProgramFont(const QStringList& candidates,
                             const std::function<QString(const QString&)>& reportedFamily) {
    FontChoice choice;
    choice.trace << QStringLiteral("Impostazione del font utilizzato nel programma.");
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const QString& name = candidates[i];
        const QString reported = reportedFamily(name);
        const FontMatch match = MatchFont(name, reported);
        if (match != FontMatch::Missing) {
            choice.family = reported;
            choice.reported = reported;
            choice.match = match;
            if (match == FontMatch::MetricTwin)
                choice.trace << QStringLiteral("Font %1 sostituito da %2 (stesse metriche)")
                                    .arg(name, reported);
            return choice;
        }
        QString line = QStringLiteral("Impossibile caricare il font ") + name;
        if (i == candidates.size() - 1)
            line += QStringLiteral(" Viene mantenuto il font di default dei controlli");
        choice.trace << line;
    }
    return choice;
}

void SetProgramFont() {
    const int size = ResString(1336).toInt();
    const FontChoice choice = ChooseProgramFont({ResString(1335), ResString(1337), ResString(1338)},
                                                [size](const QString& name) {
                                                    QFont f(name);
                                                    if (size > 0)
                                                        f.setPointSize(size);
                                                    return QFontInfo(f).family();
                                                });
    for (const QString& line : choice.trace)
        g_Trace().BugMessage(line);
    QFont font = QApplication::font();
    if (!choice.family.isEmpty()) {
        font.setFamily(choice.family);
        if (size > 0)
            font.setPointSize(size);
    }
    StoredFont() = font;
    g_fontChosen = true;
}

QFont ProgramFont() {
    return g_fontChosen ? StoredFont() : QApplication::font();
}

void ApplyProgramFont(QWidget* window) {
    const QFont program = ProgramFont();
    const auto apply = [&program](QWidget* w) {
        QFont f = w->font();
        f.setFamily(program.family());
        if (program.pointSizeF() > 0)
            f.setPointSizeF(program.pointSizeF());
        w->setFont(f);
    };
    apply(window);
    for (QWidget* w : window->findChildren<QWidget*>())
        apply(w);
    g_Trace().BugMessage(QStringLiteral("Fine impostazione del font per i controlli del form"));
}

}  // namespace voltaris::controls
