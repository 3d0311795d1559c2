#include "ArchiveSupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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

QStringList RawDb::dump() {
    QStringList tables;
    {
        QSqlQuery q(m_db);
        EXPECT_TRUE(
            q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                  "AND name <> 'sqlite_sequence' ORDER BY name")));
        while (q.next())
            tables << q.value(0).toString();
    }
    QStringList out;
    for (const QString& table : tables) {
        QSqlQuery q(m_db);
        EXPECT_TRUE(
            q.exec(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(table)));
        while (q.next()) {
            QStringList row{table};
            for (int i = 0; i < q.record().count(); ++i)
                row << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            out << row.join(u'|');
        }
    }
    return out;
}

void ArchiveFixture::SetUp() {
    provisionOnly();
    openArchive();
}

void ArchiveFixture::provisionOnly() {
    Archive::provision(dir.path(), {templatePath()});
    cfg = dir.file(Archive::ArchiveFileName);
}

void ArchiveFixture::openArchive() {
    archive.open(cfg);
}

}  // namespace voltaris::test
