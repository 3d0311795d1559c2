#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace voltaris::controls {

// How a requested face counts as found: the platform gave it, or gave a face drawn to the
// same metrics (this platform ships metric twins in place of the common office faces, so
// texts keep the widths the windows were laid out for).
enum class FontMatch { Exact, MetricTwin, Missing };

// The metric twin that stands in for `family` ("Arial" gives "Liberation Sans"); empty when
// the face has none.
QString MetricTwin(const QString& family);
FontMatch MatchFont(const QString& requested, const QString& reported);

// The choice among the program's candidate faces (string table 1335, 1337, 1338, in size
// 1336): the first whose match is not Missing. `reportedFamily` says which face the platform
// draws for a request. Also the trace lines the choice writes, in order.
struct FontChoice {
    QString family;  // empty: no candidate found, the controls keep their default font
    QString reported;
    FontMatch match = FontMatch::Missing;
    QStringList trace;
};
FontChoice ChooseProgramFont(const QStringList& candidates,
                             const std::function<QString(const QString&)>& reportedFamily);

// Chooses the program font at start-up and writes the trace lines.
void SetProgramFont();
// The program font (the platform's default before SetProgramFont).
QFont ProgramFont();
// Every control of `window` takes the program font's family and size, keeping its own
// weight and style.
void ApplyProgramFont(QWidget* window);

}  // namespace voltaris::controls
