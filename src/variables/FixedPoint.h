#pragma once

#include <QString>

namespace voltaris {

// `raw` / 10^decimals, exactly, with `decimals` digits after `decimalPoint` (none when
// decimals is 0): (5, 1) gives "0.5", (-1, 1) "-0.1", (1250, 2) "12.50". Integer
// arithmetic only, so every 64-bit value prints exactly. Throws IndexError for decimals
// outside 0..18.
QString FormatFixed(qint64 raw, int decimals, const QString& decimalPoint = QStringLiteral("."));

}  // namespace voltaris
