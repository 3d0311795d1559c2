#include "archive/Archive.h"

#include <unistd.h>

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <limits>

#include "archive/ArchivePrivate.h"
#include "base/ResString.h"

namespace voltaris {

using namespace archive_detail;

const QString Archive::ArchiveFileName = QStringLiteral("Zel2Program.cfg");
const QString Archive::TemplateFileName = QStringLiteral("Zel2Setup.dll");

namespace {

Archive* g_current = nullptr;
quint64 g_connectionCount = 0;

QString notAnArchive(const QString& path, const QString& problem) {
    return QStringLiteral("%1 is not a Voltaris archive: %2").arg(nativePath(path), problem);
}

// The first object of the schema that the archive lacks, or a column missing from it.
QString missingObject(const QList<SchemaObject>& expected, const QList<SchemaObject>& actual) {
    for (const SchemaObject& want : expected) {
        const SchemaObject* have = nullptr;
        for (const SchemaObject& o : actual) {
            if (o.name.compare(want.name, Qt::CaseInsensitive) == 0) {
                have = &o;
                break;
            }
        }
        if (want.type == QLatin1String("index"))
            continue;  // added on opening when missing
        if (!have)
            return QStringLiteral("%1 %2 is missing").arg(want.type, want.name);
        if (!have->broken.isEmpty())
            return QStringLiteral("%1 %2 is broken: %3").arg(want.type, want.name, have->broken);
        QStringList lacking;
        for (const QString& column : want.columns) {
            if (!have->columns.contains(column, Qt::CaseInsensitive))
                lacking << column;
        }
        if (lacking.size() == 1)
            return QStringLiteral("%1 %2 lacks column %3").arg(want.type, want.name, lacking[0]);
        if (lacking.size() > 1)
            return QStringLiteral("%1 %2 lacks column %3 (and %4 more)")
                .arg(want.type, want.name, lacking[0])
                .arg(lacking.size() - 1);
    }
    return {};
}

}  // namespace

const QStringList& Archive::recordTables() {
    static const QStringList tables = {
        QStringLiteral("CUsoInstr"),        QStringLiteral("CDigOutConfig"),
        QStringLiteral("CPulseOutSetup1"),  QStringLiteral("CPulseOutSetup2"),
        QStringLiteral("CAlarm1"),          QStringLiteral("CAlarm2"),
        QStringLiteral("CSerialComm"),      QStringLiteral("CAnalogOutSetup1"),
        QStringLiteral("CAnalogOutSetup2"), QStringLiteral("CAnalogOutSetup3")};
    return tables;
}

QStringList Archive::schemaColumns(const QString& table) {
    for (const SchemaObject& o : expectedSchema()) {
        if (o.name == table)
            return o.columns;
    }
    return {};
}

void Archive::provision(const QString& dataFolder, const QStringList& templateCandidates) {
    const QString target = QDir(dataFolder).filePath(ArchiveFileName);
    // An empty file holds nothing to lose: it is provisioned like a missing one.
    const QFileInfo existing(target);
    const bool replaceEmpty = existing.isFile() && existing.size() == 0;
    if (existing.exists() && !replaceEmpty)
        return;
    QString source;
    for (const QString& candidate : templateCandidates) {
        if (QFileInfo(candidate).isFile()) {
            source = candidate;
            break;
        }
    }
    if (source.isEmpty())
        throw TemplateMissing(FormatResString(231, TemplateFileName));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Cannot read the archive template %1: %2")
                          .arg(nativePath(source), in.errorString()));
    // Copy under a temporary name and rename, so a failed copy leaves no half archive.
    QTemporaryFile out(QDir(dataFolder).filePath(ArchiveFileName + QStringLiteral(".XXXXXX")));
    if (!out.open())
        throw IoError(QStringLiteral("Cannot create %1 in the folder %2: %3")
                          .arg(ArchiveFileName, nativePath(dataFolder), out.errorString()));
    const auto writeFailed = [&](const QString& reason) {
        return IoError(QStringLiteral("Cannot write %1 in the folder %2: %3")
                           .arg(ArchiveFileName, nativePath(dataFolder), reason));
    };
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw IoError(QStringLiteral("Cannot read the archive template %1: %2")
                              .arg(nativePath(source), in.errorString()));
        if (out.write(chunk) != chunk.size())
            throw writeFailed(out.errorString());
    }
    if (!out.flush() || ::fsync(out.handle()) != 0)
        throw writeFailed(out.errorString());
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    // QFile::rename never replaces an existing file: an archive that appeared meanwhile wins.
    // An empty one is replaced, unless it took content meanwhile.
    const bool renamed = replaceEmpty ? QFileInfo(target).size() == 0 &&
                                            ::rename(QFile::encodeName(out.fileName()).constData(),
                                                     QFile::encodeName(target).constData()) == 0
                                      : QFile::rename(out.fileName(), target);
    if (!renamed) {
        if (QFileInfo::exists(target))
            return;
        throw writeFailed(QStringLiteral("the copy cannot be renamed"));
    }
    out.setAutoRemove(false);
}

Archive& Archive::current() {
    if (!g_current)
        throw IoError(QStringLiteral("No archive is open"));
    return *g_current;
}

void Archive::setCurrent(Archive* archive) {
    g_current = archive;
}

Archive::Archive() : m_d(std::make_unique<Private>()) {}

Archive::~Archive() {
    close();
    if (g_current == this)
        g_current = nullptr;
}

void Archive::open(const QString& path, int busyTimeoutMs) {
    close();
    Private& d = *m_d;
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError(QStringLiteral("%1 not found").arg(nativePath(path)));
    if (!info.isFile())
        throw IoError(notAnArchive(path, QStringLiteral("it is not a file")));

    d.path = info.absoluteFilePath();
    d.connectionName = QStringLiteral("voltaris-archive-%1").arg(++g_connectionCount);
    d.db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d.connectionName);
    d.db.setDatabaseName(d.path);
    // Read-only where nothing can be written (a read-only folder cannot take the journal),
    // so reading commands work there; a change is refused by the database.
    const bool readOnly = !info.isWritable() || !QFileInfo(info.absolutePath()).isWritable();
    d.db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
            .arg(busyTimeoutMs)
            .arg(readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    const auto refuse = [&](const QString& message) {
        d.dropConnection();
        throw IoError(message);
    };
    const auto refuseError = [&](const QSqlError& error) {
        const int code = sqliteCode(error);
        if (code == SqliteBusy || code == SqliteLocked)
            refuse(QStringLiteral("%1 is in use by another program (%2)")
                       .arg(nativePath(path), databaseText(error)));
        if (code == SqliteNotADatabase)
            refuse(notAnArchive(path, databaseText(error)));
        refuse(
            QStringLiteral("%1 cannot be opened: %2").arg(nativePath(path), databaseText(error)));
    };
    if (!d.db.open())
        refuseError(d.db.lastError());

    // Read-only checks first: a file that fails them is left exactly as it was.
    QList<SchemaObject> actual;
    QSqlError error;
    if (!readSchema(d.db, &actual, &error))
        refuseError(error);
    const QString missing = missingObject(expectedSchema(), actual);
    if (!missing.isEmpty())
        refuse(notAnArchive(path, missing));

    // A rollback journal kept beside the file (never deleted by us) and a full sync on
    // commit: a configuration is either all in the file or not at all after a power cut.
    for (const char* pragma : {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = FULL"}) {
        QSqlError failed;
        {
            QSqlQuery q(d.db);
            if (!q.exec(QString::fromLatin1(pragma)))
                failed = q.lastError();
        }
        if (failed.isValid())
            refuseError(failed);
    }
    const QStringList updates = derivedObjectUpdates(expectedSchema(), actual);
    if (!updates.isEmpty()) {
        QSqlError failed;
        {
            QSqlQuery q(d.db);
            for (const QString& sql : QStringList{QStringLiteral("BEGIN IMMEDIATE")} + updates +
                                          QStringList{QStringLiteral("COMMIT")}) {
                if (!q.exec(sql)) {
                    failed = q.lastError();
                    break;
                }
            }
        }
        if (failed.isValid()) {
            d.db.rollback();
            // A read-only archive keeps its older definitions: they answer the same, slower.
            if (sqliteCode(failed) != SqliteReadOnly)
                refuseError(failed);
        }
    }
    const QVariant handle = d.db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0 || !handle.isValid())
        refuse(QStringLiteral("%1 cannot be opened: no SQLite handle").arg(nativePath(path)));
    d.handle = *static_cast<sqlite3* const*>(handle.constData());
    d.open = true;
    ++d.generation;
}

void Archive::close() {
    m_d->dropConnection();
}

bool Archive::isOpen() const {
    return m_d->open;
}

QString Archive::path() const {
    return m_d->path;
}

QList<ProgramEntry> Archive::list() {
    const QString view = QStringLiteral("Programmi");
    m_d->requireOpen(view);
    Query q(*m_d, QStringLiteral("SELECT \"IDProgramma\", \"m_NomeProgramma\" FROM \"Programmi\""),
            view);
    QList<ProgramEntry> out;
    while (q.next())
        out.push_back({static_cast<qint32>(q.int64(0)), q.value(1).toString()});
    return out;
}

bool Archive::exists(qint32 id) {
    const QString view = QStringLiteral("Canc_Programma");
    m_d->requireOpen(view);
    Query q(*m_d,
            QStringLiteral("SELECT 1 FROM \"Canc_Programma\" WHERE \"IDProgramma\" = ? LIMIT 1"),
            view);
    return q.bind(id).next();
}

void Archive::deleteProgram(qint32 id) {
    const QString view = QStringLiteral("Canc_Programma");
    m_d->requireOpen(view);
    Query(*m_d, QStringLiteral("DELETE FROM \"Canc_Programma\" WHERE \"IDProgramma\" = ?"), view)
        .bind(id)
        .exec();
}

Transaction::Transaction(Archive& archive) : m_archive(archive) {
    Archive::Private& d = *archive.m_d;
    const QString what = QStringLiteral("(transaction)");
    d.requireOpen(what);
    if (d.inTransaction)
        throw IoError(
            QStringLiteral("Archive %1: a transaction is already open").arg(nativePath(d.path)));
    // IMMEDIATE takes the write lock now, so another writer shows here, not halfway.
    Query(d, QStringLiteral("BEGIN IMMEDIATE"), what).exec();
    d.inTransaction = true;
    m_generation = d.generation;
    m_open = true;
}

Transaction::~Transaction() {
    Archive::Private& d = *m_archive.m_d;
    // A closed (or reopened) connection has already dropped the transaction.
    if (!m_open || !d.open || d.generation != m_generation)
        return;
    if (!sqlite3_get_autocommit(d.handle))
        sqlite3_exec(d.handle, "ROLLBACK", nullptr, nullptr, nullptr);
    d.inTransaction = false;
}

void Transaction::commit() {
    Archive::Private& d = *m_archive.m_d;
    const QString what = QStringLiteral("(transaction)");
    if (!m_open || d.generation != m_generation)
        throw IoError(
            QStringLiteral("Archive %1: no transaction to commit").arg(nativePath(d.path)));
    d.requireOpen(what);
    Query(d, QStringLiteral("COMMIT"), what).exec();
    d.inTransaction = false;
    m_open = false;
}

IdAllocation::IdAllocation(Archive& archive) : m_archive(archive) {
    Archive::Private& d = *archive.m_d;
    const QString table = QStringLiteral("CounterProgrammi");
    d.requireOpen(table);
    Query(d, QStringLiteral("INSERT INTO \"CounterProgrammi\" DEFAULT VALUES"), table).exec();
    m_counterRow = sqlite3_last_insert_rowid(d.handle);
    m_generation = d.generation;
    m_pending = true;
    if (m_counterRow <= Archive::ReservedId || m_counterRow > std::numeric_limits<qint32>::max()) {
        release();
        d.fail(table, QStringLiteral("no configuration id left (counter at %1)").arg(m_counterRow));
    }
    m_id = static_cast<qint32>(m_counterRow);
}

IdAllocation::~IdAllocation() {
    if (!m_pending)
        return;
    try {
        release();
    } catch (const VoltarisError&) {
        // The counter row stays; its id is simply never used.
    }
}

void IdAllocation::commit() {
    m_pending = false;
}

void IdAllocation::release() {
    if (!m_pending)
        return;
    m_pending = false;
    Archive::Private& d = *m_archive.m_d;
    const QString table = QStringLiteral("CounterProgrammi");
    d.requireOpen(table);
    if (d.generation != m_generation)
        d.fail(table,
               QStringLiteral("the archive was reopened; id %1 stays taken").arg(m_counterRow));
    Query(d, QStringLiteral("DELETE FROM \"CounterProgrammi\" WHERE \"IDProgramma\" = ?"), table)
        .bind(m_counterRow)
        .exec();
}

}  // namespace voltaris
