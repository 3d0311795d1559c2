#include <gtest/gtest.h>

#include <QHash>

#include "base/Errors.h"
#include "base/ResString.h"
#include "variables/VariableCatalogue.h"

using voltaris::IndexError;
using voltaris::ParseVariableEntry;
using voltaris::VariableCatalogue;
using voltaris::VariableEntry;
using voltaris::VoltarisError;

namespace {

QList<int> codesOf(const QList<VariableEntry>& entries) {
    QList<int> codes;
    for (const VariableEntry& e : entries)
        codes.append(e.code());
    return codes;
}

QList<int> range(int first, int last) {
    QList<int> r;
    for (int i = first; i <= last; ++i)
        r.append(i);
    return r;
}

}  // namespace

TEST(ParseVariableEntry, SplitsNameCodeOffsetAndMask) {
    struct Case {
        const char* entry;
        const char* name;
        int code;
        int offset;
        int mask;
    };
    const Case cases[] = {
        {"V L1-N#&h00170000", "V L1-N", 0, 0x00, 0x17},
        {"A n#&h00071209", "A n", 9, 0x12, 0x07},
        {"PF L3 Min#&h0011783C", "PF L3 Min", 60, 0x78, 0x11},
        // Only the last 11 characters are the value: a '#' inside the name stays in it.
        {"A#B#&h001F0C06", "A#B", 6, 0x0C, 0x1F},
        {"x#&H001f0c06", "x", 6, 0x0C, 0x1F},
        {"#&h001F3A1D", "", 29, 0x3A, 0x1F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const VariableEntry e = ParseVariableEntry(QString::fromUtf8(c.entry));
        EXPECT_EQ(e.name, QString::fromUtf8(c.name));
        EXPECT_EQ(e.code(), c.code);
        EXPECT_EQ(e.wordOffset(), c.offset);
        EXPECT_EQ(e.systemMask(), c.mask);
    }
}

TEST(ParseVariableEntry, RejectsMalformedEntries) {
    const char* bad[] = {
        "",
        "V L1",
        "V L1-N&h00170000",    // no '#'
        "V L1-N#&h0017000G",   // not hexadecimal
        "V L1-N#0x00170000",   // no "&h"
        "V L1-N#&h170000",     // six digits
        "V L1-N#&h00170000 ",  // trailing blank
        "V L1-N#&h-0170000",
    };
    for (const char* entry : bad) {
        SCOPED_TRACE(entry);
        EXPECT_THROW(ParseVariableEntry(QString::fromUtf8(entry)), VoltarisError);
    }
}

TEST(VariableCatalogue, BrokenOrMissingResourceIsNamed) {
    for (const QString& broken : {QStringLiteral("V L3"), QString()}) {
        const auto source = [&broken](int id) {
            return id == 2105 ? broken : voltaris::ResString(id);
        };
        try {
            VariableCatalogue catalogue(source);
            ADD_FAILURE() << "no error for entry \"" << broken.toStdString() << "\"";
        } catch (const VoltarisError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("2105"))) << e.what();
        }
    }
}

TEST(VariableCatalogue, ReadsItsEntriesFromTheGivenSource) {
    QHash<int, QString> texts;
    for (int code = 0; code < VariableCatalogue::VariableCount; ++code)
        texts.insert(2100 + code,
                     QStringLiteral("var%1#&h%2")
                         .arg(code)
                         .arg(0x00010000 | (2 * code) << 8 | code, 8, 16, QChar(u'0')));
    texts[2107] = QStringLiteral("only in 2#&h00040E07");
    const VariableCatalogue catalogue([&texts](int id) { return texts.value(id); });
    EXPECT_EQ(catalogue.name(7), QStringLiteral("only in 2"));
    EXPECT_EQ(codesOf(catalogue.variablesForSystem(2)), QList<int>{7});
    EXPECT_EQ(codesOf(catalogue.variablesForSystem(0)).size(), 42);
}

// The program's own table: every entry parses and agrees with its resource number.
TEST(VariableCatalogue, StandardEntriesAreConsistent) {
    const VariableCatalogue& cat = VariableCatalogue::standard();
    for (int code = 0; code < VariableCatalogue::VariableCount; ++code) {
        SCOPED_TRACE(code);
        const VariableEntry& e = cat.entry(code);
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(e.wordOffset(), 2 * code);
        EXPECT_EQ(e.value >> 24, 0u);
        EXPECT_FALSE(e.name.isEmpty());
    }
    EXPECT_EQ(cat.name(0), QStringLiteral("V L1-N"));
    EXPECT_EQ(cat.name(19), QStringLiteral("Ph. Seq."));
    EXPECT_EQ(cat.name(49), QStringLiteral("A Max dmd"));
    EXPECT_EQ(cat.name(60), QStringLiteral("PF L3 Min"));
    EXPECT_EQ(cat.systemMask(9), 0x07);
    EXPECT_THROW(cat.entry(61), IndexError);
    EXPECT_THROW(cat.name(-1), IndexError);
}

TEST(VariableCatalogue, VariablesOfferedPerWiringSystem) {
    // Worked out from the masks: bit 0 is set in every mask, bit 4 in all but "A n" (0x07);
    // system 1 takes masks 0x17, 0x1F, 0x07; system 2 masks 0x17, 0x15, 0x1D, 0x1F, 0x07;
    // system 3 masks 0x1D, 0x19, 0x1F.
    QList<int> all = range(0, 42);
    QList<int> allButNeutral = all;
    allButNeutral.removeOne(9);
    const QList<int> single = {0, 6, 9, 10, 13, 16, 20, 23, 25, 26, 27, 28, 29, 32, 35, 38, 41, 42};
    const QList<int> twoPhase = {0,  1,  3,  6,  7,  9,  10, 11, 13, 14, 16, 17, 20, 21, 23,
                                 24, 25, 26, 27, 28, 29, 32, 33, 35, 36, 38, 39, 41, 42};
    const QList<int> balancedNoNeutral = {3,  4,  5,  6,  7,  8,  19, 24, 25, 26,
                                          27, 28, 29, 31, 32, 33, 34, 41, 42};
    const struct {
        int system;
        QList<int> codes;
    } cases[] = {
        {0, all},           {1, single}, {2, twoPhase}, {3, balancedNoNeutral},
        {4, allButNeutral}, {5, {}},     {-1, {}},      {8, {}},
    };
    const VariableCatalogue& cat = VariableCatalogue::standard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system);
        EXPECT_EQ(codesOf(cat.variablesForSystem(c.system)), c.codes);
    }
}

TEST(VariableCatalogue, BalancedWithoutNeutralOffersNoPhaseToNeutralQuantity) {
    QStringList names;
    for (const VariableEntry& e : VariableCatalogue::standard().variablesForSystem(3))
        names.append(e.name);
    EXPECT_TRUE(names.contains(QStringLiteral("V L1")));
    for (const char* absent : {"V L1-N", "V L-N Sys", "A n", "ASY L-N"})
        EXPECT_FALSE(names.contains(QString::fromUtf8(absent))) << absent;
}
