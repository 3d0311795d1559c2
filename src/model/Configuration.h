#pragma once

#include <QList>
#include <QString>
#include <array>

#include "model/CAlarm.h"
#include "model/CAnalogOutSetup.h"
#include "model/CDigOutConfig.h"
#include "model/CPulseOutSetup.h"
#include "model/CSerialComm.h"
#include "model/CUsoInstr.h"

namespace voltaris {

class Archive;

// One instrument configuration: ten records sharing one IDProgramma, each stored as one row
// of the table named by its instance name. The data operations of the archive commands
// (create, edit, archive the instrument's configuration, delete) and of the command line.
class Configuration {
public:
    // Ten fresh records with their defaults and instance names.
    Configuration();
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;

    CUsoInstr& UsoInstr() { return m_UsoInstr; }
    const CUsoInstr& UsoInstr() const { return m_UsoInstr; }
    CDigOutConfig& DigOutConfig() { return m_DigOutConfig; }
    const CDigOutConfig& DigOutConfig() const { return m_DigOutConfig; }
    // Output 1 or 2; IndexError otherwise.
    CPulseOutSetup& PulseOutSetup(int output);
    const CPulseOutSetup& PulseOutSetup(int output) const;
    CAlarm& Alarm(int output);
    const CAlarm& Alarm(int output) const;
    CSerialComm& SerialComm() { return m_SerialComm; }
    const CSerialComm& SerialComm() const { return m_SerialComm; }
    // Output 1, 2 or 3; IndexError otherwise.
    CAnalogOutSetup& AnalogOutSetup(int output);
    const CAnalogOutSetup& AnalogOutSetup(int output) const;

    // The records in the order of loading and saving: "CUsoInstr", "CDigOutConfig",
    // "CPulseOutSetup1", "CPulseOutSetup2", "CAlarm1", "CAlarm2", "CSerialComm",
    // "CAnalogOutSetup1", "CAnalogOutSetup2", "CAnalogOutSetup3".
    const QList<CArchiveRecord*>& Records() const { return m_records; }
    // The record of that instance name (table), nullptr when there is none.
    CArchiveRecord* Record(const QString& instanceName) const;

    // "IDProgramma=" + id in decimal.
    static QString Criterion(qint32 id);

    // Fills every record from its row of configuration `id`. A missing row is a failed
    // check (AssertFailed); database errors are IoErrors. On failure the records before
    // the failing one hold their loaded values, the others are unchanged.
    void load(Archive& archive, qint32 id);
    // Adds one row per record table under `id`, in one transaction: on any failure the
    // archive is left as it was. Refuses (IoError) an id that already has rows.
    void saveNew(Archive& archive, qint32 id);
    // Overwrites the rows of configuration `id`, in one transaction.
    void saveOver(Archive& archive, qint32 id);
    // Stores the records as a new configuration under a freshly allocated id and returns
    // it; on failure the id is released and nothing is stored.
    qint32 create(Archive& archive);
    void update(Archive& archive, qint32 id) { saveOver(archive, id); }
    // Archives the records (the edited configuration of the instrument) as a new
    // configuration; as create(), with its own trace line.
    qint32 copyToNewId(Archive& archive);
    // Removes every row of configuration `id`; the reserved id 2 is refused (IoError).
    static void remove(Archive& archive, qint32 id);

private:
    // saveNew without its transaction: the caller holds one.
    void addRows(Archive& archive, qint32 id);
    qint32 storeAsNew(Archive& archive, const QString& traceBefore, const QString& traceAfter);

    CUsoInstr m_UsoInstr;
    CDigOutConfig m_DigOutConfig;
    std::array<CPulseOutSetup, 2> m_PulseOutSetup;
    std::array<CAlarm, 2> m_Alarm;
    CSerialComm m_SerialComm;
    std::array<CAnalogOutSetup, 3> m_AnalogOutSetup;
    QList<CArchiveRecord*> m_records;
};

}  // namespace voltaris
