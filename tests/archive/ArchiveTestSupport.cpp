#include "ArchiveTestSupport.h"

#include <QSqlError>
#include <optional>

#include "archive/Recordset.h"

namespace voltaris::test {

QString templatePath() {
    return QStringLiteral(VOLTARIS_TEMPLATE_PATH);
}

RawDb::RawDb(const QString& path) {
    static int counter = 0;
    m_name = QStringLiteral("raw-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
    EXPECT_TRUE(m_db.open()) << m_db.lastError().text().toStdString();
}

RawDb::~RawDb() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void RawDb::exec(const QString& sql) {
    QSqlQuery q(m_db);
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

QVariant RawDb::scalar(const QString& sql) {
    QSqlQuery q(m_db);
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    return q.next() ? q.value(0) : QVariant();
}

qint64 RawDb::count(const QString& table, qint32 id) {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IDProgramma = %2")
                      .arg(table)
                      .arg(id))
        .toLongLong();
}

QStringList RawDb::columns(const QString& table) {
    QSqlQuery q(m_db);
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)));
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void ArchiveTest::SetUp() {
    Archive::provision(dir.path(), {templatePath()});
    cfg = dir.file(Archive::ArchiveFileName);
    archive.open(cfg);
}

void saveConfiguration(Archive& archive, qint32 id, const QString& name, bool inTransaction) {
    std::optional<Transaction> own;
    if (!inTransaction)
        own.emplace(archive);
    for (const QString& table : Archive::recordTables()) {
        Recordset rs(archive, table);
        rs.addNew(id);
        const QStringList columns = Archive::schemaColumns(table);
        for (int i = 1; i < columns.size(); ++i) {
            if (columns[i] == QLatin1String("m_NomeProgramma"))
                rs.setValue(columns[i], name);
            else
                rs.setValue(columns[i], static_cast<qint32>(id * 1000 + i));
            rs.update();
        }
    }
    if (own)
        own->commit();
}

}  // namespace voltaris::test
