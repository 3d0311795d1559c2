#pragma once

// Internals shared by Archive and Recordset.

#include <sqlite3.h>

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <unordered_map>

#include "archive/Archive.h"
#include "archive/Recordset.h"

namespace voltaris {

namespace archive_detail {

constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteNotADatabase = 26;

struct SchemaObject {
    QString type;  // "table", "view", "trigger" or "index"
    QString name;
    QString table;  // what a trigger or index belongs to
    QString sql;    // the CREATE statement as SQLite keeps it
    QStringList columns;
    QString broken;  // why the columns cannot be read (a view over a missing table)
};

struct QStringHasher {
    size_t operator()(const QString& s) const noexcept { return qHash(s); }
};

}  // namespace archive_detail

// A table's real columns and the statements that read one of its rows.
struct Recordset::TableInfo {
    QString name;
    QStringList columns;
    QHash<QString, int> byLowerName;
    QString selectById;     // rowid and every column of the first row with an id
    QString selectByRowid;  // rowid and every column of one row
};

// The connection is opened and checked through Qt's SQLite driver; the statements after
// that run on the driver's own handle, prepared once per connection (preparing through
// the driver costs several times more, and a configuration takes ~400 updates).
struct Archive::Private {
    QString path;
    QString connectionName;
    QSqlDatabase db;
    sqlite3* handle = nullptr;
    bool open = false;
    bool inTransaction = false;
    quint64 generation = 0;  // changes on every open and close, so stale users notice
    std::unordered_map<QString, sqlite3_stmt*, archive_detail::QStringHasher> statements;
    QHash<QString, std::shared_ptr<const Recordset::TableInfo>> tables;

    ~Private();
    void requireOpen(const QString& table) const;
    sqlite3_stmt* statement(const QString& sql, const QString& table);
    std::shared_ptr<const Recordset::TableInfo> tableInfo(const QString& table);
    [[noreturn]] void fail(const QString& table) const;  // with the handle's last error
    [[noreturn]] void fail(const QString& table, const QString& text) const;
    void dropConnection();
};

namespace archive_detail {

// One use of a cached statement: binds in order, steps, and resets it on destruction.
class Query {
public:
    Query(Archive::Private& d, const QString& sql, const QString& table);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& bind(const QVariant& value);
    // True on a row, false when done; a database error throws IoError.
    bool next();
    void exec() { next(); }
    QVariant value(int column) const;
    qint64 int64(int column) const { return sqlite3_column_int64(m_stmt, column); }

private:
    int bindText(int index, const QString& text);
    Archive::Private& m_d;
    QString m_table;
    sqlite3_stmt* m_stmt;
    int m_bound = 0;
};

QString quoteName(const QString& name);
QString nativePath(const QString& path);
// SQLite's primary result code of a failed driver call.
int sqliteCode(const QSqlError& error);
QString databaseText(const QSqlError& error);

// Splits a schema script into statements: a statement ends with ';' at the end of a line,
// a trigger with "END;"; whole-line "--" comments are dropped.
QStringList splitStatements(const QString& script);
// Tables, views, triggers and indexes of a database (SQLite's own objects left out), with
// the columns of tables and views. False with `error` set when the database cannot be read.
bool readSchema(const QSqlDatabase& db, QList<SchemaObject>* objects, QSqlError* error);
// The objects of the built-in schema, read once from an in-memory database built from it.
const QList<SchemaObject>& expectedSchema();
// The statements that give an archive with the `actual` objects the built-in views,
// triggers and indexes: each one missing or defined differently is dropped and created anew
// (a view's triggers with it). Empty when the archive is up to date.
QStringList derivedObjectUpdates(const QList<SchemaObject>& expected,
                                 const QList<SchemaObject>& actual);
QString schemaText();

}  // namespace archive_detail
}  // namespace voltaris
