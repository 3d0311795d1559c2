#include <gtest/gtest.h>

#include "tabulon/RowSet.h"

using grevlon::RowSet;
using grevlon::RowSetError;

namespace {

RowSet threeRows() {
    RowSet rs({QStringLiteral("Key"), QStringLiteral("Value")});
    rs.addRow({QStringLiteral("alpha"), 1});
    rs.addRow({QStringLiteral("it's"), 2});
    rs.addRow({QStringLiteral("Gamma"), 3});
    return rs;
}

TEST(RowSet, WalksForwardAndPositions) {
    RowSet rs = threeRows();
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    EXPECT_EQ(rs.absolutePosition(), 1);
    rs.moveNext();
    rs.moveNext();
    EXPECT_FALSE(rs.atEnd());
    EXPECT_EQ(rs.int32Value(QStringLiteral("value")), 3);  // field names ignore case
    rs.moveNext();
    EXPECT_TRUE(rs.atEnd());
    EXPECT_EQ(rs.absolutePosition(), 0);
    rs.moveNext();  // stays at the end
    EXPECT_TRUE(rs.atEnd());

    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.textValue(QStringLiteral("Key")), QStringLiteral("it's"));
    rs.move(5);
    EXPECT_TRUE(rs.atEnd());
    EXPECT_THROW(rs.value(QStringLiteral("Key")), RowSetError);

    for (qint32 bad : {0, 4, -1})
        EXPECT_THROW(rs.setAbsolutePosition(bad), RowSetError) << bad;
    EXPECT_THROW(rs.move(-1), RowSetError);
}

TEST(RowSet, MissingFieldIsAnErrorTheHostCanCatchAsItsOwn) {
    RowSet rs = threeRows();
    rs.moveFirst();
    EXPECT_THROW(rs.value(QStringLiteral("Column1")), RowSetError);
    // Thrown inside the shared library, caught by the program's base class.
    try {
        rs.int16Value(QStringLiteral("nColumn"));
        FAIL() << "no error for a missing field";
    } catch (const voltaris::VoltarisError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nColumn")));
    }
    EXPECT_THROW(rs.setValue(QStringLiteral("Other"), 1), RowSetError);
    EXPECT_THROW(rs.appendField(QStringLiteral("KEY")), RowSetError);
    EXPECT_THROW(rs.addRow({1, 2, 3}), RowSetError);
    RowSet empty({QStringLiteral("A")});
    EXPECT_THROW(empty.setValue(QStringLiteral("A"), 1), RowSetError);
}

struct Conversion {
    QVariant value;
    const char* target;  // "int16", "int32", "bool", "text"
    QVariant expected;   // invalid: the conversion throws
};

class RowSetConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(RowSetConversion, ReadsTheValueOrThrows) {
    const Conversion& c = GetParam();
    RowSet rs({QStringLiteral("F")});
    rs.addRow({c.value});
    const QString f = QStringLiteral("F");
    const QString target = QString::fromLatin1(c.target);
    auto read = [&]() -> QVariant {
        if (target == u"int16")
            return rs.int16Value(f);
        if (target == u"int32")
            return rs.int32Value(f);
        if (target == u"bool")
            return rs.boolValue(f);
        return rs.textValue(f);
    };
    if (!c.expected.isValid()) {
        EXPECT_THROW(read(), RowSetError);
    } else {
        EXPECT_EQ(read(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowSetConversion,
    ::testing::Values(
        Conversion{QVariant(255), "int16", QVariant(qint16(255))},
        Conversion{QVariant(2.5), "int16", QVariant(qint16(2))},
        Conversion{QVariant(3.5), "int16", QVariant(qint16(4))},
        Conversion{QVariant(-2.5), "int16", QVariant(qint16(-2))},
        Conversion{QVariant(QStringLiteral(" 1440 ")), "int16", QVariant(qint16(1440))},
        Conversion{QVariant(true), "int16", QVariant(qint16(-1))},
        Conversion{QVariant(32768), "int16", QVariant()},
        Conversion{QVariant(QStringLiteral("abc")), "int16", QVariant()},
        Conversion{QVariant(), "int16", QVariant()},
        Conversion{QVariant(qint64(2147483647)), "int32", QVariant(qint32(2147483647))},
        Conversion{QVariant(qint64(2147483648)), "int32", QVariant()},
        Conversion{QVariant(QStringLiteral("True")), "bool", QVariant(true)},
        Conversion{QVariant(QStringLiteral("false")), "bool", QVariant(false)},
        Conversion{QVariant(0), "bool", QVariant(false)},
        Conversion{QVariant(-1), "bool", QVariant(true)},
        Conversion{QVariant(QStringLiteral("maybe")), "bool", QVariant()},
        Conversion{QVariant(), "bool", QVariant()},
        Conversion{QVariant(), "text", QVariant(QString())},
        Conversion{QVariant(true), "text", QVariant(QStringLiteral("True"))},
        Conversion{QVariant(12), "text", QVariant(QStringLiteral("12"))},
        Conversion{QVariant(0.1), "text", QVariant(QStringLiteral("0.1"))}));

TEST(RowSet, FindFirstSearchesFromTheFirstRow) {
    RowSet rs = threeRows();
    rs.setAbsolutePosition(3);
    EXPECT_TRUE(rs.findFirst(QStringLiteral("Key='ALPHA'")));
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_TRUE(rs.findFirst(QStringLiteral("Key = 'it''s'")));
    EXPECT_EQ(rs.absolutePosition(), 2);
    EXPECT_TRUE(rs.findFirst(QStringLiteral("Value=3")));
    EXPECT_EQ(rs.absolutePosition(), 3);
    EXPECT_FALSE(rs.findFirst(QStringLiteral("Key='delta'")));
    EXPECT_TRUE(rs.atEnd());

    for (const char* bad : {"Key", "Key='open", "Key='a'b'", "Key=abc", "Nope='x'"})
        EXPECT_THROW(rs.findFirst(QString::fromLatin1(bad)), RowSetError) << bad;
}

}  // namespace
