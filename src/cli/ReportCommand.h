#pragma once

#include <QStringList>

#include "cli/Command.h"

namespace voltaris::cli {

// `report ID --pdf FILE`: the configuration report printed to a PDF file, with the header
// picture, footer notes and page numbering of the stored print options unless overridden.
Command reportCommand();

// Whether the command line runs a command that draws pages and so needs a QGuiApplication.
bool NeedsGuiApplication(const QStringList& arguments);
// Chooses the offscreen platform when there is no display to connect to.
void PrepareGuiPlatform();

}  // namespace voltaris::cli
