#include "base/Printable.h"

namespace voltaris {

QString PrintableExcerpt(const QString& text, int maxLength) {
    QString out;
    int taken = 0;
    for (const QChar c : text) {
        if (taken == maxLength)
            return out + QStringLiteral("...");
        ++taken;
        if (c.isPrint() && !c.isSurrogate())
            out += c;
        else if (c.unicode() < 0x100)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u{%1}").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

}  // namespace voltaris
