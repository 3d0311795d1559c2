#pragma once

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <ostream>

#include "TestSupport.h"
#include "archive/Archive.h"

namespace voltaris {
inline void PrintTo(const ProgramEntry& e, std::ostream* os) {
    *os << "{" << e.id << ", \"" << e.name.toStdString() << "\"}";
}
}  // namespace voltaris

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

private:
    QString m_name;
    QSqlDatabase m_db;
};

// A fresh archive provisioned from the template in a temporary data folder, opened.
class ArchiveTest : public testing::Test {
protected:
    void SetUp() override;
    TempDir dir;
    QString cfg;
    Archive archive;
};

// Stores a whole configuration under `id` the way the records do: each table gets a new
// row, then every field is set and updated one by one. Numbers are `id * 1000 + column`.
// Runs in a transaction of its own unless `inTransaction`.
void saveConfiguration(Archive& archive, qint32 id, const QString& name,
                       bool inTransaction = false);

}  // namespace voltaris::test
