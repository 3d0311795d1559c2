#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "TestSupport.h"
#include "archive/Archive.h"

namespace voltaris::test {

// The template built with this tree.
QString templatePath();

// A second, independent connection to an archive file, for looking behind the library's
// back and for holding locks.
class RawDb {
public:
    explicit RawDb(const QString& path);
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;
    // Runs one statement; a failure fails the test.
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    qint64 count(const QString& table, qint32 id);
    QStringList columns(const QString& table);
    // Every row of every table (sqlite_sequence left out) as text, for before/after checks.
    QStringList dump();

private:
    QString m_name;
    QSqlDatabase m_db;
};

// A fresh archive provisioned from the template in a temporary data folder, opened.
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

}  // namespace voltaris::test
