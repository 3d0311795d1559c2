#include "ModelTestSupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <limits>

#include "base/SettingsStore.h"

namespace voltaris::test {

TraceCapture::TraceCapture() : m_scope(&messages) {
    CTraceCode& t = g_Trace();
    m_mode = t.BugMode();
    m_traceMode = t.BugTraceMode();
    t.setBugMode(CTraceCode::bmTraceImmediate);
    t.setBugTraceMode(CTraceCode::tmTraceAll);
    t.setImmediateSink([this](const QString& line) { lines.append(line); });
}

TraceCapture::~TraceCapture() {
    CTraceCode& t = g_Trace();
    t.setImmediateSink([](const QString&) {});
    t.setBugMode(m_mode);
    t.setBugTraceMode(m_traceMode);
}

RawDb::RawDb(const QString& path) {
    static int counter = 0;
    m_name = QStringLiteral("model-raw-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
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
    Archive::provision(dir.path(), {QStringLiteral(VOLTARIS_TEMPLATE_PATH)});
    cfg = dir.file(Archive::ArchiveFileName);
}

void ArchiveFixture::openArchive() {
    archive.open(cfg);
}

void SettingsFixture::SetUp() {
    storeFile = dir.file(QStringLiteral("Voltaris.ini"));
    SettingsStore::setFileOverride(storeFile);
}

void SettingsFixture::TearDown() {
    SettingsStore::setFileOverride({});
}

QVariantList storedValues(const CRecord& record) {
    QVariantList out;
    for (const FieldDef& f : record.Fields())
        out << record.Get(record.Properties()[f.property], f.index);
    return out;
}

void fillDistinct(CRecord& record, int seed) {
    // The first values of each width are its extremes, so that every record stores them.
    const qint16 extremes16[] = {std::numeric_limits<qint16>::min(),
                                 std::numeric_limits<qint16>::max(), -1};
    const qint32 extremes32[] = {std::numeric_limits<qint32>::min(),
                                 std::numeric_limits<qint32>::max(), -70000};
    int n = 0;
    int n16 = 0;
    int n32 = 0;
    for (const PropertyDef& def : record.Properties()) {
        for (int i = 0; i < def.count; ++i, ++n) {
            QVariant v;
            switch (def.type) {
                case PropType::Int16:
                    v = QVariant::fromValue(n16 < 3 ? extremes16[n16] : qint16(seed * 100 + n));
                    ++n16;
                    break;
                case PropType::Int32:
                    v = QVariant::fromValue(n32 < 3 ? extremes32[n32] : qint32(seed * 100000 + n));
                    ++n32;
                    break;
                case PropType::Single:
                    v = QVariant::fromValue(float(seed) + 0.25f * float(n));
                    break;
                case PropType::Text:
                    v = QStringLiteral("Quadro %1-%2 \u00e8 \u00b5").arg(seed).arg(n);
                    break;
                case PropType::Bool:
                    v = QVariant(true);
                    break;
                case PropType::UInt8:
                    v = QVariant::fromValue(quint8(200 + seed % 50));
                    break;
            }
            record.Set(def, i, v);
        }
    }
}

}  // namespace voltaris::test
