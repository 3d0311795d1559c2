#pragma once

#include <QString>

#include "base/UserMessages.h"

namespace voltaris::controls {

// The text of a message as a box shows it: every line break of the string table (LF CR, and
// CR LF, or a lone CR or LF) becomes one newline, so no stray CR reaches the box.
QString MessageBoxText(const QString& text);

// Shows the program's messages in message boxes over the active window: the icon and title
// given, OK for a message; Yes and No for a question, Enter answering Yes and Esc (or the
// close box) No. The text is shown as plain text, never as markup.
class MessageBoxSink : public UserMessages {
public:
    void show(Icon icon, const QString& title, const QString& text) override;
    Answer askYesNo(Icon icon, const QString& title, const QString& text) override;
};

}  // namespace voltaris::controls
