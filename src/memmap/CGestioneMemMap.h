#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <memory>

#include "model/Configuration.h"
#include "model/Validation.h"

namespace voltaris {

class Archive;
class CFloatToIntDPScale;
class CVariableRangeScale;

// Translates between the ten records of one configuration and the instrument's register
// image (the memory map), and reads and writes the memory map file, which is also the
// configuration exchange file (.ZLA). One object serves one operation.
//
// Register numbers: ParamMemMap word i at 409 + i; DigOutMemMap words 0, 1, 2 at 419, 422,
// 423; AnalogOutMemMap word i at 425 + i; AlarmMemMap word i at 449 + i; PulseMemMap word
// i at 577 + i. A single spans two words, low-order word first.
class CGestioneMemMap {
public:
    static constexpr int ParamWords = 10;
    static constexpr int AnalogOutWords = 24;
    static constexpr int DigOutWords = 3;
    static constexpr int AlarmWords = 128;
    static constexpr int PulseWords = 16;
    static constexpr int AlarmBlocks = 16;

    static constexpr int ParamFirstRegister = 409;
    static constexpr int AnalogOutFirstRegister = 425;
    static constexpr int AlarmFirstRegister = 449;
    static constexpr int PulseFirstRegister = 577;
    static constexpr std::array<int, DigOutWords> DigOutRegisters{419, 422, 423};

    // The memory map file: 468 bytes, little-endian integers, Latin-1 texts padded with
    // spaces. ParamMemMap words 8 and 9 (network address, line speed) are not in it.
    static constexpr int FileSize = 468;
    static constexpr int TextFieldSize = 50;
    // The identification both front ends write and accept (they are one program).
    static const QString FileIdentification;  // "VoltarisEng"

    // The initial content of PulseMemMap words 0 and 8: counter code of "KWh Tot.".
    static constexpr qint16 PulseWordStart = 0x002B;

    // Works on the program's archive (Archive::current(), looked up when first needed).
    CGestioneMemMap();
    // Works on `archive`, which must outlive the object.
    explicit CGestioneMemMap(Archive& archive);
    ~CGestioneMemMap();
    CGestioneMemMap(const CGestioneMemMap&) = delete;
    CGestioneMemMap& operator=(const CGestioneMemMap&) = delete;

    qint32 IDProgramma() const { return m_IDProgramma; }
    void setIDProgramma(qint32 id) { m_IDProgramma = id; }
    // Set by the conversions, or by the caller to the model an instrument reported before a
    // read-back.
    qint32 InstrModel() const { return m_InstrModel; }
    void setInstrModel(qint32 model) { m_InstrModel = model; }
    // False at creation; Import sets it for good.
    bool ImportMode() const { return m_ImportMode; }

    // One word of a block; an index outside the block is an IndexError.
    qint16 ParamMemMap(int index) const;
    void setParamMemMap(int index, qint16 word);
    qint16 AnalogOutMemMap(int index) const;
    void setAnalogOutMemMap(int index, qint16 word);
    qint16 DigOutMemMap(int index) const;
    void setDigOutMemMap(int index, qint16 word);
    qint16 AlarmMemMap(int index) const;
    void setAlarmMemMap(int index, qint16 word);
    qint16 PulseMemMap(int index) const;
    void setPulseMemMap(int index, qint16 word);

    // The ten records, in the order of loading and saving ("CUsoInstr", "CDigOutConfig",
    // "CPulseOutSetup1", "CPulseOutSetup2", "CAlarm1", "CAlarm2", "CSerialComm",
    // "CAnalogOutSetup1".."3").
    const QList<CArchiveRecord*>& Records() const { return m_UserSetup.Records(); }
    Configuration& UserSetup() { return m_UserSetup; }
    const Configuration& UserSetup() const { return m_UserSetup; }

    // Loads the records of IDProgramma from the archive and fills the five blocks (all
    // words cleared first), tracing the conversion and dumping the blocks. Archive errors,
    // failed checks, a variable code outside 16 bits (ValueError) and alarm counts beyond
    // the 16 blocks (IndexError) reach the caller; the blocks keep what was written.
    void ConvertUserSetupToMemoryMap();
    // Turns the five blocks into records and stores them under IDProgramma: as new rows in
    // import mode, else over the configuration's rows (renamed "Actual instrument
    // setting"); in one transaction either way. A pulse counter code other than 43 or 44
    // is the failed check "Contatore non ammesso!!!" (AssertFailed) and nothing is stored.
    // In import mode the network address and line speed of CSerialComm keep the record's
    // defaults: the exchange file does not carry them.
    void ConvertMemoryMapToUserSetup();

    // The same two conversions on the records the object holds, without the archive.
    void ConvertRecordsToMemoryMap();
    void ConvertMemoryMapToRecords();

    // Writes the memory map file (through a temporary file renamed into place, so a
    // failure leaves any previous file as it was). IoError naming the file and the reason
    // when it cannot be written.
    void SaveMemorySetup(const QString& file);
    // Reads a memory map file. False, with nothing changed, for a file not exactly 468
    // bytes long or whose identification is not FileIdentification; otherwise the name goes to
    // CUsoInstr (trailing spaces removed), InstrModel and the blocks are replaced
    // (ParamMemMap words 8 and 9 kept) and the result is true. IoError when the file
    // cannot be opened or read.
    bool ReadMemorySetup(const QString& file);
    // A configuration name as the file holds it and gives it back: Latin-1 ('?' for
    // anything else), cut after 50 characters, trailing spaces removed.
    static QString NameInFile(const QString& name);
    // The bytes of the memory map file for the object's current content.
    QByteArray MemorySetupBytes() const;
    // ReadMemorySetup on the file's bytes.
    bool ReadMemorySetupBytes(const QByteArray& bytes);

    // Converts configuration `id` and writes it to `file`. True whenever it returns.
    bool Export(const QString& file, qint32 id);
    // Sets import mode, reads `file` and stores it as the new rows of configuration `id`
    // (which must have none). False when the file is refused (ImportProblems names what
    // of its content ValidateConfiguration refuses); nothing is stored then.
    bool Import(const QString& file, qint32 id);
    // What made the last Import refuse a file of ours; empty for a foreign or short file.
    const FieldProblems& ImportProblems() const { return m_ImportProblems; }

    // Writes "Instrument map memory dump:" and one "Add <register>=0x<word>" line per word
    // to the trace log (upper-case hexadecimal; ParamMemMap words 8 and 9 left out).
    void DumpMemoryMap();
    // The lines DumpMemoryMap writes.
    QStringList DumpLines() const;

private:
    Archive& archive();
    void ClearMemoryMap();
    void LoadUserSetup();
    void SaveUserSetup();
    void EncodeUserSetup();
    void DecodeMemoryMap();
    void ConvertAlarmsToMemoryMap(int output, int count, int first);
    void ConvertPulseOutToMemoryMap(int output);
    qint16 ConvertMemoryMapToAlarms(int output);
    bool isZeroAlarmBlock(int block) const;
    void ConvertMemoryMapToPulseOut(int output);

    // A scaled record value as a single in two words, low-order word first.
    template <size_t N>
    void putScaled(std::array<qint16, N>& block, int at, qint16 value, qint16 step);
    struct Limits {
        qint16 step;
        qint16 upper;
        qint16 lower;
    };
    // The limit read-back: the upper single chooses the step (fixed for asymmetries,
    // frequency and power factors, automatic otherwise); the lower one follows at it.
    Limits readLimits(qint16 variable, float upper, float lower);
    CFloatToIntDPScale& scaler();
    CVariableRangeScale& range();

    Archive* m_archive = nullptr;
    qint32 m_IDProgramma = 0;
    qint32 m_InstrModel = 0;
    bool m_ImportMode = false;
    std::array<qint16, ParamWords> m_ParamMemMap{};
    std::array<qint16, AnalogOutWords> m_AnalogOutMemMap{};
    std::array<qint16, DigOutWords> m_DigOutMemMap{};
    std::array<qint16, AlarmWords> m_AlarmMemMap{};
    std::array<qint16, PulseWords> m_PulseMemMap{};
    Configuration m_UserSetup;
    FieldProblems m_ImportProblems;
    std::unique_ptr<CVariableRangeScale> m_range;
    std::unique_ptr<CFloatToIntDPScale> m_scaler;
};

}  // namespace voltaris
