#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "base/Errors.h"

namespace voltaris {

// Neither the archive nor any template to create it from exists; the message is resource
// 231 naming the template, for the caller to show.
class TemplateMissing : public IoError {
public:
    using IoError::IoError;
};

// One row of the configuration list.
struct ProgramEntry {
    qint32 id = -1;
    QString name;
    bool operator==(const ProgramEntry&) const = default;
};

// The configuration archive (the program's g_Connection): one SQLite database file checked
// against the built-in schema when opened. Every database failure is an IoError naming the
// file, the table and the database's own text.
class Archive {
public:
    static constexpr qint32 ReservedId = 2;  // the instrument's current configuration
    static constexpr int DefaultBusyTimeoutMs = 5000;
    static const QString ArchiveFileName;   // "Zel2Program.cfg"
    static const QString TemplateFileName;  // "Zel2Setup.dll"

    // The ten record tables of a configuration, in saving order.
    static const QStringList& recordTables();
    // The columns the built-in schema gives a table or view (empty when it has none).
    static QStringList schemaColumns(const QString& table);

    // Makes sure `dataFolder` holds the archive: when it is missing or empty, copies the first
    // existing template candidate to it (an archive with content is never touched). Throws
    // TemplateMissing when no candidate exists, IoError when the copy fails.
    static void provision(const QString& dataFolder, const QStringList& templateCandidates);

    // The connection the program's records work on; set by the start-up.
    static Archive& current();
    static void setCurrent(Archive* archive);

    Archive();
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Opens an existing archive (never creates one; read-only when the file or its folder
    // cannot be written) and checks that it has every table,
    // view, column and trigger of the schema; extra ones are tolerated. Then gives it the
    // schema's views, triggers and indexes where they differ (an older template's; not on a
    // read-only file). Throws IoError naming the file and the problem: missing, not a
    // database, lacking a table or column, or in use by another program (after waiting
    // `busyTimeoutMs`).
    void open(const QString& path, int busyTimeoutMs = DefaultBusyTimeoutMs);
    void close();
    bool isOpen() const;
    QString path() const;

    // The configuration list (view "Programmi"): id 2 hidden, sorted by name then id.
    QList<ProgramEntry> list();
    // True when any record table holds a row with this id.
    bool exists(qint32 id);
    // Removes every row of the id from every record table ("Canc_Programma"); the id is
    // never handed out again. Id 2 is refused.
    void deleteProgram(qint32 id);

    struct Private;

private:
    friend class Recordset;
    friend class Transaction;
    friend class IdAllocation;
    std::unique_ptr<Private> m_d;
};

// A write transaction (BEGIN IMMEDIATE): rolled back on destruction unless committed.
// Only one at a time per archive: opening a second one throws.
class Transaction {
public:
    explicit Transaction(Archive& archive);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Archive& m_archive;
    quint64 m_generation = 0;
    bool m_open = false;
};

// A new configuration id, taken from "CounterProgrammi" at construction. commit() keeps it
// for ever; otherwise release() or the destructor deletes the counter row. Never 2, never
// an id handed out before.
class IdAllocation {
public:
    explicit IdAllocation(Archive& archive);
    ~IdAllocation();
    IdAllocation(const IdAllocation&) = delete;
    IdAllocation& operator=(const IdAllocation&) = delete;

    qint32 id() const { return m_id; }
    void commit();
    void release();

private:
    Archive& m_archive;
    quint64 m_generation = 0;
    qint64 m_counterRow = -1;
    qint32 m_id = -1;
    bool m_pending = false;
};

}  // namespace voltaris
