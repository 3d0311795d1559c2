#include "archive/ArchivePrivate.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QSqlQuery>
#include <QTime>

#include "base/VariantKind.h"

extern const char voltaris_archive_schema[];
extern const std::size_t voltaris_archive_schema_size;

namespace voltaris {

namespace archive_detail {

QString quoteName(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

int sqliteCode(const QSqlError& error) {
    return error.nativeErrorCode().toInt() & 0xff;
}

QString databaseText(const QSqlError& error) {
    const QString text = error.databaseText();
    return text.isEmpty() ? error.text() : text;
}

QString schemaText() {
    return QString::fromUtf8(voltaris_archive_schema,
                             static_cast<qsizetype>(voltaris_archive_schema_size));
}

QStringList splitStatements(const QString& script) {
    QStringList out;
    QString current;
    for (const QString& rawLine : script.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QStringLiteral("--")))
            continue;
        if (!current.isEmpty())
            current += u'\n';
        current += rawLine;
        if (!line.endsWith(u';'))
            continue;
        const bool trigger =
            current.trimmed().startsWith(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive);
        if (trigger && line.compare(QStringLiteral("END;"), Qt::CaseInsensitive) != 0)
            continue;
        out << current;
        current.clear();
    }
    if (!current.trimmed().isEmpty())
        out << current;
    return out;
}

bool readSchema(const QSqlDatabase& db, QList<SchemaObject>* objects, QSqlError* error) {
    objects->clear();
    QSqlQuery master(db);
    if (!master.exec(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                    "WHERE type IN ('table', 'view', 'trigger', 'index') "
                                    "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                    "ORDER BY rowid"))) {
        *error = master.lastError();
        return false;
    }
    while (master.next())
        objects->push_back({master.value(0).toString(),
                            master.value(1).toString(),
                            master.value(2).toString(),
                            master.value(3).toString(),
                            {},
                            {}});
    master.finish();
    QSqlQuery info(db);
    if (!info.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"))) {
        *error = info.lastError();
        return false;
    }
    for (SchemaObject& o : *objects) {
        if (o.type == QLatin1String("trigger") || o.type == QLatin1String("index"))
            continue;
        info.addBindValue(o.name);
        if (!info.exec()) {
            const int code = sqliteCode(info.lastError());
            if (code == SqliteBusy || code == SqliteLocked || code == SqliteNotADatabase) {
                *error = info.lastError();
                return false;
            }
            o.broken = databaseText(info.lastError());
            continue;
        }
        while (info.next())
            o.columns << info.value(0).toString();
        info.finish();
    }
    return true;
}

const QList<SchemaObject>& expectedSchema() {
    static const QList<SchemaObject> objects = [] {
        const QString name = QStringLiteral("voltaris-archive-schema");
        QList<SchemaObject> result;
        QString problem;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QStringLiteral(":memory:"));
            if (!db.open()) {
                problem = databaseText(db.lastError());
            } else {
                QSqlQuery q(db);
                for (const QString& sql : splitStatements(schemaText())) {
                    if (!q.exec(sql)) {
                        problem = databaseText(q.lastError()) + QStringLiteral(" in: ") + sql;
                        break;
                    }
                }
                q.finish();
                QSqlError error;
                if (problem.isEmpty() && !readSchema(db, &result, &error))
                    problem = databaseText(error);
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        if (!problem.isEmpty())
            throw VoltarisError(QStringLiteral("The built-in archive schema is broken: ") +
                                problem);
        return result;
    }();
    return objects;
}

QStringList derivedObjectUpdates(const QList<SchemaObject>& expected,
                                 const QList<SchemaObject>& actual) {
    const auto find = [&](const SchemaObject& want) -> const SchemaObject* {
        for (const SchemaObject& o : actual) {
            if (o.type == want.type && o.name.compare(want.name, Qt::CaseInsensitive) == 0)
                return &o;
        }
        return nullptr;
    };
    QStringList drops, creates;
    QStringList droppedViews;
    // Views first: dropping one drops its triggers, which are then created anew below.
    for (const char* type : {"view", "trigger", "index"}) {
        for (const SchemaObject& want : expected) {
            if (want.type != QLatin1String(type))
                continue;
            const SchemaObject* have = find(want);
            const bool viewDropped = droppedViews.contains(want.table, Qt::CaseInsensitive);
            if (have && have->sql == want.sql && !viewDropped)
                continue;
            if (have && !viewDropped) {
                drops
                    << QStringLiteral("DROP %1 %2").arg(want.type.toUpper(), quoteName(have->name));
                if (want.type == QLatin1String("view"))
                    droppedViews << have->name;
            }
            creates << want.sql;
        }
    }
    return drops + creates;
}

}  // namespace archive_detail

using namespace archive_detail;

Archive::Private::~Private() {
    dropConnection();
}

void Archive::Private::requireOpen(const QString& table) const {
    if (!open)
        throw IoError(QStringLiteral("The archive is not open (table %1)").arg(table));
}

sqlite3_stmt* Archive::Private::statement(const QString& sql, const QString& table) {
    const auto it = statements.find(sql);
    if (it != statements.end())
        return it->second;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(handle, utf8.constData(), static_cast<int>(utf8.size()),
                           SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(table);
    }
    statements.emplace(sql, stmt);
    return stmt;
}

std::shared_ptr<const Recordset::TableInfo> Archive::Private::tableInfo(const QString& table) {
    if (auto found = tables.value(table))
        return found;
    auto info = std::make_shared<Recordset::TableInfo>();
    info->name = table;
    {
        Query q(*this, QStringLiteral("SELECT name FROM pragma_table_info(?)"), table);
        q.bind(table);
        while (q.next())
            info->columns << q.value(0).toString();
    }
    if (info->columns.isEmpty())
        fail(table, QStringLiteral("no such table"));
    QStringList quoted;
    for (int i = 0; i < info->columns.size(); ++i) {
        info->byLowerName.insert(info->columns.at(i).toLower(), i);
        quoted << quoteName(info->columns.at(i));
    }
    const QString head = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE ")
                             .arg(quoted.join(QStringLiteral(", ")), quoteName(table));
    info->selectById = head + QStringLiteral("\"IDProgramma\" = ? ORDER BY rowid LIMIT 1");
    info->selectByRowid = head + QStringLiteral("rowid = ?");
    tables.insert(table, info);
    return info;
}

void Archive::Private::fail(const QString& table) const {
    fail(table, QString::fromUtf8(sqlite3_errmsg(handle)));
}

void Archive::Private::fail(const QString& table, const QString& text) const {
    throw IoError(QStringLiteral("Archive %1, table %2: %3").arg(nativePath(path), table, text));
}

void Archive::Private::dropConnection() {
    // Our statements go first: the driver cannot close a handle that still has some.
    for (const auto& [sql, stmt] : statements)
        sqlite3_finalize(stmt);
    statements.clear();
    tables.clear();
    handle = nullptr;
    open = false;
    inTransaction = false;
    ++generation;
    if (connectionName.isEmpty())
        return;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
    connectionName.clear();
}

namespace archive_detail {

Query::Query(Archive::Private& d, const QString& sql, const QString& table)
    : m_d(d), m_table(table), m_stmt(d.statement(sql, table)) {}

Query::~Query() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

Query& Query::bind(const QVariant& value) {
    const int index = ++m_bound;
    int rc = SQLITE_OK;
    switch (variantKind(value)) {
        case VariantKind::Null:
            rc = sqlite3_bind_null(m_stmt, index);
            break;
        case VariantKind::Boolean:
        case VariantKind::Integer:
        case VariantKind::Unsigned:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case VariantKind::Floating:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case VariantKind::Bytes: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case VariantKind::DateTime:
            rc = bindText(index, value.toDateTime().toString(Qt::ISODateWithMs));
            break;
        case VariantKind::Date:
            rc = bindText(index, value.toDate().toString(Qt::ISODate));
            break;
        case VariantKind::Time:
            rc = bindText(index, value.toTime().toString(Qt::ISODateWithMs));
            break;
        case VariantKind::Text:
        case VariantKind::Other:
            rc = bindText(index, value.toString());
            break;
    }
    if (rc != SQLITE_OK)
        m_d.fail(m_table);
    return *this;
}

int Query::bindText(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(m_stmt, index, utf8.constData(),
                               static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
}

bool Query::next() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_d.fail(m_table);
}

QVariant Query::value(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, column));
        case SQLITE_TEXT:
            return QVariant(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                sqlite3_column_bytes(m_stmt, column)));
        case SQLITE_BLOB:
            return QVariant(
                QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, column)),
                           sqlite3_column_bytes(m_stmt, column)));
        default:
            return {};
    }
}

}  // namespace archive_detail
}  // namespace voltaris
