#pragma once

#include <QString>
#include <QStringList>

#include "base/FileDialogs.h"

namespace voltaris::controls {

// A string-table filter ("File ZEL (*.ZLA)|*.ZLA|All (*.*)|*.*") as the name filters of a
// file dialog ("File ZEL (*.ZLA)", "All (*)"): each description keeps its text without the
// pattern list it may carry, followed by its own patterns; "*.*" matches every file.
QStringList NameFilters(const QString& filter);
// The extension a save adds to a name typed without one: that of the filter's first pattern
// when it is a plain "*.ext", empty otherwise.
QString DefaultSuffix(const QString& filter);

// The program's file dialogs, over the active window. Each is the dialog of the toolkit, not
// the desktop's own, so that the behaviour is the same everywhere: in particular the save
// dialog never asks whether to replace an existing file (the command that writes asks that,
// through UserMessages), and an open dialog accepts only an existing file.
class QtFileDialogs : public FileDialogs {
public:
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& proposedPath,
                         const QString& filter) override;
};

}  // namespace voltaris::controls
