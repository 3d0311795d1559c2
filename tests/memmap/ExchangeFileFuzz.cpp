#include "ExchangeFileFuzz.h"

#include <QFile>
#include <QTemporaryDir>

#include "base/Errors.h"
#include "memmap/CGestioneMemMap.h"

namespace voltaris::test {

namespace {

struct Snapshot {
    QList<qint16> words;
    qint32 model;
    QString name;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const CGestioneMemMap& m) {
    Snapshot s{{}, m.InstrModel(), m.UserSetup().UsoInstr().NomeProgramma()};
    for (int i = 0; i < CGestioneMemMap::ParamWords; ++i)
        s.words << m.ParamMemMap(i);
    for (int i = 0; i < CGestioneMemMap::AnalogOutWords; ++i)
        s.words << m.AnalogOutMemMap(i);
    for (int i = 0; i < CGestioneMemMap::DigOutWords; ++i)
        s.words << m.DigOutMemMap(i);
    for (int i = 0; i < CGestioneMemMap::AlarmWords; ++i)
        s.words << m.AlarmMemMap(i);
    for (int i = 0; i < CGestioneMemMap::PulseWords; ++i)
        s.words << m.PulseMemMap(i);
    return s;
}

QString inputPath() {
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("input.ZLA"));
}

}  // namespace

ExchangeFuzzOutcome FuzzExchangeFile(const uint8_t* data, size_t size) {
    ExchangeFuzzOutcome outcome;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = inputPath();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            outcome.violation = QStringLiteral("cannot write the input file");
            return outcome;
        }
    }

    CGestioneMemMap map;
    map.setInstrModel(0x5A5A5A5A);
    map.setParamMemMap(8, 0x1234);
    map.setParamMemMap(9, -3);
    map.setAlarmMemMap(77, 0x0BAD);
    map.UserSetup().UsoInstr().setNomeProgramma(QStringLiteral("before"));
    const Snapshot before = snapshot(map);

    try {
        outcome.accepted = map.ReadMemorySetup(path);
    } catch (const VoltarisError& e) {
        outcome.violation = QStringLiteral("reading a readable file failed: ") + e.message();
        return outcome;
    }
    if (!outcome.accepted) {
        if (snapshot(map) != before)
            outcome.violation = QStringLiteral("a refused file changed the memory map");
        return outcome;
    }
    if (bytes.size() < CGestioneMemMap::FileSize) {
        outcome.violation = QStringLiteral("a short file was accepted");
        return outcome;
    }
    if (map.ParamMemMap(8) != 0x1234 || map.ParamMemMap(9) != -3) {
        outcome.violation = QStringLiteral("the address or speed word was taken from the file");
        return outcome;
    }
    QByteArray expected = bytes.left(CGestioneMemMap::FileSize);
    const QByteArray written = map.MemorySetupBytes();
    expected.replace(50, 6, written.mid(50, 6));
    if (written != expected) {
        outcome.violation = QStringLiteral("the file does not write back as it was read");
        return outcome;
    }

    try {
        map.ConvertMemoryMapToRecords();
        outcome.converted = true;
    } catch (const AssertFailed&) {
        return outcome;  // a counter code or a limit the checks refuse
    } catch (const VoltarisError& e) {
        outcome.violation = QStringLiteral("conversion to records failed: ") + e.message();
        return outcome;
    }
    const CDigOutConfig& dig = map.UserSetup().DigOutConfig();
    if (dig.NumAlarm1() < 0 || dig.NumAlarm2() < 0 || dig.NumAlarm1() + dig.NumAlarm2() > 16) {
        outcome.violation = QStringLiteral("alarm counts beyond the 16 blocks");
        return outcome;
    }
    try {
        map.ConvertRecordsToMemoryMap();
    } catch (const AssertFailed&) {
    } catch (const VoltarisError& e) {
        outcome.violation =
            QStringLiteral("records read back do not convert again: ") + e.message();
    }
    return outcome;
}

}  // namespace voltaris::test
