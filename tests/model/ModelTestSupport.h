#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include "TestSupport.h"
#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/UserMessages.h"
#include "model/CRecord.h"

namespace voltaris::test {

// Sends g_Trace() lines into `lines` and message boxes into `messages` for one scope.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    QStringList lines;
    RecordingMessages messages;

private:
    ScopedMessages m_scope;
    CTraceCode::BugModeEnum m_mode;
    CTraceCode::BugTraceModeEnum m_traceMode;
};

// A second connection to an archive file, to look behind the records' back.
class RawDb {
public:
    explicit RawDb(const QString& path);
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    // Every row of every table (sqlite_sequence left out) as text, for before/after checks.
    QStringList dump();

private:
    QString m_name;
    QSqlDatabase m_db;
};

// A fresh archive provisioned from the template built with this tree.
class ArchiveFixture : public testing::Test {
protected:
    void SetUp() override;
    // Provisions the file without opening it (for changes before the archive sees it).
    void provisionOnly();
    void openArchive();
    TempDir dir;
    QString cfg;
    Archive archive;
};

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

}  // namespace voltaris::test
