#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/ResString.h"

using namespace voltaris;

TEST(StringTableParse, EscapesCommentsAndBlankLines) {
    const QByteArray data = "# heading\n\n10\tone\\n\\rtwo\n11\ttab\\there \\\\ end \n12\t\n";
    const StringTable t = StringTable::parse(data, "x");
    EXPECT_EQ(t.text(10), QString("one\n\rtwo"));
    EXPECT_EQ(t.text(11), QString("tab\there \\ end "));  // trailing blank kept
    EXPECT_TRUE(t.contains(12));
    EXPECT_EQ(t.text(12), QString());
    EXPECT_FALSE(t.contains(13));
}

TEST(StringTableParse, RefusesBadEntriesNamingTheLine) {
    const struct {
        const char* data;
        const char* expected;
    } cases[] = {
        {"1\ta\n1\tb\n", "line 2: id 1 given twice"},
        {"abc\n", "line 1: expected an id and a tab"},
        {"5 no tab\n", "line 1: expected an id and a tab"},
        {"7\tbad \\q escape\n", "line 1: unknown escape \\q"},
        {"8\tends with \\", "line 1: lone backslash"},
    };
    for (const auto& c : cases) {
        try {
            StringTable::parse(c.data, "strings.txt");
            ADD_FAILURE() << "accepted: " << c.data;
        } catch (const VoltarisError& e) {
            EXPECT_TRUE(e.message().contains(c.expected)) << e.message().toStdString();
            EXPECT_TRUE(e.message().startsWith("strings.txt"));
        }
    }
}

TEST(FormatResString, ReplacesPlaceholdersInOrder) {
    EXPECT_EQ(FormatText("a |1 b |2 c |1", {"X", "Y"}), QString("a X b Y c X"));
    // A "|2" brought in by the first argument is replaced by the second; a "|1" is not.
    EXPECT_EQ(FormatText("<|1>", {"|2|1", "Z"}), QString("<Z|1>"));
    EXPECT_EQ(FormatText("no placeholder", {"X"}), QString("no placeholder"));
    EXPECT_EQ(FormatText("left |1", {}), QString("left |1"));
}

TEST(FormatResString, TemplateMissingMessage) {
    EXPECT_EQ(FormatResString(231, QString("Zel2Setup.dll")),
              QString("System file Zel2Setup.dll not found !!!\n\r"
                      "Reinstall the program or contact the supplier."));
}

TEST(ResString, MissingIdIsEmpty) {
    EXPECT_FALSE(HasResString(-5));
    EXPECT_EQ(ResString(-5), QString());
}

// A sample of ids across the ranges of the table, exactly as the program shows them.
TEST(ResString, SampleAcrossRanges) {
    const struct {
        int id;
        const char* text;
    } cases[] = {
        {208, "COMMUNICATION ERROR  !!!"},  // two blanks before the marks
        {209,
         "The communication port being selected is currently being used\n\r"
         "or it is not present in the system."},
        {240, "Ready"},
        {301, "Voltaris"},
        {303, "Version 1.107.1"},
        {639, "No name"},
        {640, "Actual instrument setting"},
        {795, "The selected configuration will be deleted !!.\n\rDo you agree ?"},
        {811, "Error during the configuration setting of the file |1.\n\rFile not compatible !!!."},
        {900, "KM5.1.x.R2.KX#&h00230004"},
        {959, "FE"},
        {1014, "Transmit file..."},
        {1338, "Curier New"},
        {2004, "OK"},
        {2100, "V L1-N#&h00170000"},
        {2160, "PF L3 Min#&h0011783C"},
        {5622, "Unbalanced, 3-phase with or without neutral"},
        {5631, " minutes."},  // leading blank joins the number before it
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResString(c.id), QString::fromUtf8(c.text)) << c.id;
}

// Texts of our own wording (splash, about, one help line) must be present, not blank.
TEST(ResString, OwnWordingPresent) {
    for (int id : {302, 304, 305, 306, 307, 308, 309, 1225})
        EXPECT_FALSE(ResString(id).trimmed().isEmpty()) << id;
}
