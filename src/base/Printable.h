#pragma once

#include <QString>

namespace voltaris {

// `text` fit to be quoted in a message: control and other non-printable characters as \xNN
// or \u{NNNN}, and no more than `maxLength` characters of it ("..." marks a cut).
QString PrintableExcerpt(const QString& text, int maxLength = 40);

}  // namespace voltaris
