#include <gtest/gtest.h>

#include "base/Printable.h"

using namespace voltaris;

TEST(PrintableExcerpt, EscapesWhatCannotBeShownAndCutsLongText) {
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {QStringLiteral("KM6 1/x"), QStringLiteral("KM6 1/x")},
        {QString::fromUtf8("Caldaia \xC3\xA8"), QString::fromUtf8("Caldaia \xC3\xA8")},
        {QString::fromLatin1("a\x01\x1b[2Jb\n"), QStringLiteral("a\\x01\\x1b[2Jb\\x0a")},
        {QString(QChar(0x200B)) + QChar(0xFFFF), QStringLiteral("\\u{200b}\\u{ffff}")},
        {QString(40, u'x'), QString(40, u'x')},
        {QString(41, u'x'), QString(40, u'x') + QStringLiteral("...")},
        {QString(3, QChar(0)) + QString(60, u'y'),
         QStringLiteral("\\x00\\x00\\x00") + QString(37, u'y') + QStringLiteral("...")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintableExcerpt(c.text), c.shown) << c.text.toStdString();
    EXPECT_EQ(PrintableExcerpt(QStringLiteral("abcdef"), 3), QStringLiteral("abc..."));
}
