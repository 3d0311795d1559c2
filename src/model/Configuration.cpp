#include "model/Configuration.h"

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"

namespace voltaris {

namespace {

template <class A>
auto& output(A& records, int output, const char* what) {
    if (output < 1 || output > int(records.size()))
        throw IndexError(QStringLiteral("%1 %2 does not exist (1..%3)")
                             .arg(QLatin1String(what))
                             .arg(output)
                             .arg(records.size()));
    return records[size_t(output - 1)];
}

}  // namespace

Configuration::Configuration() {
    for (int i = 0; i < 2; ++i) {
        m_PulseOutSetup[size_t(i)].setClassName(QStringLiteral("CPulseOutSetup%1").arg(i + 1));
        m_Alarm[size_t(i)].setClassName(QStringLiteral("CAlarm%1").arg(i + 1));
    }
    for (int i = 0; i < 3; ++i)
        m_AnalogOutSetup[size_t(i)].setClassName(QStringLiteral("CAnalogOutSetup%1").arg(i + 1));
    m_records = {&m_UsoInstr,         &m_DigOutConfig,      &m_PulseOutSetup[0],
                 &m_PulseOutSetup[1], &m_Alarm[0],          &m_Alarm[1],
                 &m_SerialComm,       &m_AnalogOutSetup[0], &m_AnalogOutSetup[1],
                 &m_AnalogOutSetup[2]};
}

CPulseOutSetup& Configuration::PulseOutSetup(int n) {
    return output(m_PulseOutSetup, n, "Pulse output");
}
const CPulseOutSetup& Configuration::PulseOutSetup(int n) const {
    return output(m_PulseOutSetup, n, "Pulse output");
}
CAlarm& Configuration::Alarm(int n) {
    return output(m_Alarm, n, "Alarm output");
}
const CAlarm& Configuration::Alarm(int n) const {
    return output(m_Alarm, n, "Alarm output");
}
CAnalogOutSetup& Configuration::AnalogOutSetup(int n) {
    return output(m_AnalogOutSetup, n, "Analogue output");
}
const CAnalogOutSetup& Configuration::AnalogOutSetup(int n) const {
    return output(m_AnalogOutSetup, n, "Analogue output");
}

CArchiveRecord* Configuration::Record(const QString& instanceName) const {
    for (CArchiveRecord* r : m_records) {
        if (r->InstanceName() == instanceName)
            return r;
    }
    return nullptr;
}

QString Configuration::Criterion(qint32 id) {
    return QStringLiteral("IDProgramma=") + QString::number(id);
}

void Configuration::load(Archive& archive, qint32 id) {
    const QVariant criterion(Criterion(id));
    for (CArchiveRecord* r : m_records)
        r->LoadDataFromADORS(archive, criterion);
}

void Configuration::saveNew(Archive& archive, qint32 id) {
    Transaction transaction(archive);
    addRows(archive, id);
    transaction.commit();
}

void Configuration::addRows(Archive& archive, qint32 id) {
    // A second set of rows under an id in use would be shadowed by the first one.
    if (archive.exists(id))
        throw IoError(QStringLiteral("Configuration %1 already exists in the archive").arg(id));
    const QVariant criterion = QVariant::fromValue(id);
    for (CArchiveRecord* r : m_records)
        r->SaveDataInADORS(archive, criterion);
}

void Configuration::saveOver(Archive& archive, qint32 id) {
    Transaction transaction(archive);
    const QVariant criterion(Criterion(id));
    for (CArchiveRecord* r : m_records)
        r->SaveDataInADORS(archive, criterion);
    transaction.commit();
}

qint32 Configuration::storeAsNew(Archive& archive, const QString& traceBefore,
                                 const QString& traceAfter) {
    if (!traceBefore.isEmpty())
        g_Trace().BugMessage(traceBefore);
    // The id is taken inside the same transaction as the rows: one synced commit stores
    // both, and a failure leaves neither (the id was never seen outside).
    Transaction transaction(archive);
    IdAllocation allocation(archive);
    addRows(archive, allocation.id());
    if (!traceAfter.isEmpty())
        g_Trace().BugMessage(traceAfter);
    allocation.commit();
    transaction.commit();
    return allocation.id();
}

qint32 Configuration::create(Archive& archive) {
    return storeAsNew(
        archive, {},
        QStringLiteral("Creata nuova configurazione; aggiornamento griglia configurazioni"));
}

qint32 Configuration::copyToNewId(Archive& archive) {
    return storeAsNew(archive, QStringLiteral("Archivia configurazione corrente."), {});
}

void Configuration::remove(Archive& archive, qint32 id) {
    archive.deleteProgram(id);
}

}  // namespace voltaris
