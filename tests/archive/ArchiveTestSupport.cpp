#include "ArchiveTestSupport.h"

#include <optional>

#include "archive/Recordset.h"
#include "base/Errors.h"

namespace voltaris::test {

QString messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VoltarisError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
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
