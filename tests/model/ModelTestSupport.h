#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QVariant>
#include <string>

#include "ArchiveSupport.h"
#include "TestSupport.h"
#include "TraceCapture.h"
#include "model/CRecord.h"
#include "model/Validation.h"

namespace voltaris::test {

// The settings store redirected to a file of a temporary folder for one test.
class SettingsFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TempDir dir;
    QString storeFile;
};

// The stored values of a record in storing order.
QVariantList storedValues(const CRecord& record);

// Sets every property of `record` (stored or not) to a value that differs from its default:
// the first three integers of each width get its minimum, its maximum and a negative value,
// the others `seed`-dependent values; texts get accented Latin-1 letters, booleans true.
void fillDistinct(CRecord& record, int seed);

// The fields a refusal names, in its order, and its messages one a line (for failure output).
QStringList Fields(const FieldProblems& problems);
std::string Text(const FieldProblems& problems);

}  // namespace voltaris::test
