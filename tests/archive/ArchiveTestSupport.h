#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <ostream>

#include "ArchiveSupport.h"
#include "archive/Archive.h"

namespace voltaris {
inline void PrintTo(const ProgramEntry& e, std::ostream* os) {
    *os << "{" << e.id << ", \"" << e.name.toStdString() << "\"}";
}
}  // namespace voltaris

namespace voltaris::test {

// A fresh archive provisioned from the template in a temporary data folder, opened.
using ArchiveTest = ArchiveFixture;

// The message of the VoltarisError that `f` throws, or "<no error>".
QString messageOf(const std::function<void()>& f);

// Stores a whole configuration under `id` the way the records do: each table gets a new
// row, then every field is set and updated one by one. Numbers are `id * 1000 + column`.
// Runs in a transaction of its own unless `inTransaction`.
void saveConfiguration(Archive& archive, qint32 id, const QString& name,
                       bool inTransaction = false);

}  // namespace voltaris::test
