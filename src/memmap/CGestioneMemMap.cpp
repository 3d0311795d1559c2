#include "memmap/CGestioneMemMap.h"

#include <QFile>
#include <cmath>
#include <limits>

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/MBytes.h"
#include "base/ResString.h"
#include "base/SafeFile.h"
#include "base/Version.h"
#include "model/ModelCatalogue.h"
#include "model/Validation.h"
#include "variables/CFloatToIntDPScale.h"
#include "variables/CVariableRangeScale.h"

namespace voltaris {

using namespace MBytes;

const QString CGestioneMemMap::FileIdentification = QStringLiteral("VoltarisEng");

namespace {

constexpr int kNameOffset = 56;
constexpr int kModelOffset = 106;
constexpr int kParamOffset = 110;
constexpr int kParamFileWords = 8;  // words 8 and 9 are not in the file

// Mode codes of the digital outputs in DigOutMemMap word 1 (one byte per output).
constexpr quint8 kCodeAlarm = 0xAA;
constexpr quint8 kCodePulses = 0xBB;
constexpr quint8 kCodeRemote = 0xCC;

// Variable codes of the two counters a pulse output can follow.
constexpr int kCounterKWhTot = 43;
constexpr int kCounterKvarhTot = 44;

constexpr quint16 kAlarmStatusBit = 1u << 3;
constexpr quint16 kAlarmOutput2Bit = 1u << 4;
constexpr quint16 kAlarmLogicBit = 1u << 5;
constexpr quint16 kAlarmStartupBit = 1u << 6;
constexpr quint16 kAlarmFlagBits =
    kAlarmStatusBit | kAlarmOutput2Bit | kAlarmLogicBit | kAlarmStartupBit;
constexpr quint16 kAlarmTypeBits = 0x7;

template <size_t N>
qint16& word(std::array<qint16, N>& block, int index, const char* name) {
    if (index < 0 || index >= int(N))
        throw IndexError(QStringLiteral("Index %1 of %2 is outside 0..%3")
                             .arg(index)
                             .arg(QLatin1String(name))
                             .arg(N - 1));
    return block[size_t(index)];
}

template <size_t N>
qint16 word(const std::array<qint16, N>& block, int index, const char* name) {
    return word(const_cast<std::array<qint16, N>&>(block), index, name);
}

// An analogue module's block always carries output 1, whatever byte 1 says.
int analogueBlockOutputs(qint32 model) {
    return qMax(1, AnalogOutputCount(model));
}

// A variable code goes into a signed 16-bit register word; a wider one is an overflow.
qint16 codeWord(qint32 code, const QString& what) {
    if (code < std::numeric_limits<qint16>::min() || code > std::numeric_limits<qint16>::max())
        throw ValueError(
            QStringLiteral("%1 = %2 does not fit a 16-bit register word").arg(what).arg(code));
    return qint16(code);
}

quint8 modeCode(qint16 mode) {
    if (mode == CDigOutConfig::Alarm)
        return kCodeAlarm;
    if (mode == CDigOutConfig::RemoteControl)
        return kCodeRemote;
    return kCodePulses;
}

QString hexText(quint32 value) {
    return QString::number(value, 16).toUpper();
}

void put16(QByteArray& out, qint16 v) {
    const quint16 u = quint16(v);
    out.append(char(u & 0xFF));
    out.append(char(u >> 8));
}

void put32(QByteArray& out, qint32 v) {
    const quint32 u = quint32(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((u >> shift) & 0xFF));
}

qint16 get16(const QByteArray& in, int at) {
    return qint16(quint16(quint8(in[at])) | quint16(quint8(in[at + 1])) << 8);
}

qint32 get32(const QByteArray& in, int at) {
    quint32 u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | quint8(in[at + i]);
    return qint32(u);
}

// A text field: Latin-1, cut after `size` bytes, padded with spaces.
void putText(QByteArray& out, const QString& text, int size) {
    QByteArray bytes = text.toLatin1().left(size);
    bytes.append(QByteArray(size - bytes.size(), ' '));
    out.append(bytes);
}

QString getText(const QByteArray& in, int at, int size) {
    QByteArray bytes = in.mid(at, size);
    while (bytes.endsWith(' '))
        bytes.chop(1);
    return QString::fromLatin1(bytes);
}

}  // namespace

CGestioneMemMap::CGestioneMemMap() = default;

CGestioneMemMap::CGestioneMemMap(Archive& archive) : m_archive(&archive) {}

CGestioneMemMap::~CGestioneMemMap() = default;

Archive& CGestioneMemMap::archive() {
    return m_archive ? *m_archive : Archive::current();
}

CFloatToIntDPScale& CGestioneMemMap::scaler() {
    if (!m_scaler)
        m_scaler = std::make_unique<CFloatToIntDPScale>();
    return *m_scaler;
}

CVariableRangeScale& CGestioneMemMap::range() {
    if (!m_range)
        m_range = std::make_unique<CVariableRangeScale>();
    return *m_range;
}

qint16 CGestioneMemMap::ParamMemMap(int index) const {
    return word(m_ParamMemMap, index, "ParamMemMap");
}
void CGestioneMemMap::setParamMemMap(int index, qint16 w) {
    word(m_ParamMemMap, index, "ParamMemMap") = w;
}
qint16 CGestioneMemMap::AnalogOutMemMap(int index) const {
    return word(m_AnalogOutMemMap, index, "AnalogOutMemMap");
}
void CGestioneMemMap::setAnalogOutMemMap(int index, qint16 w) {
    word(m_AnalogOutMemMap, index, "AnalogOutMemMap") = w;
}
qint16 CGestioneMemMap::DigOutMemMap(int index) const {
    return word(m_DigOutMemMap, index, "DigOutMemMap");
}
void CGestioneMemMap::setDigOutMemMap(int index, qint16 w) {
    word(m_DigOutMemMap, index, "DigOutMemMap") = w;
}
qint16 CGestioneMemMap::AlarmMemMap(int index) const {
    return word(m_AlarmMemMap, index, "AlarmMemMap");
}
void CGestioneMemMap::setAlarmMemMap(int index, qint16 w) {
    word(m_AlarmMemMap, index, "AlarmMemMap") = w;
}
qint16 CGestioneMemMap::PulseMemMap(int index) const {
    return word(m_PulseMemMap, index, "PulseMemMap");
}
void CGestioneMemMap::setPulseMemMap(int index, qint16 w) {
    word(m_PulseMemMap, index, "PulseMemMap") = w;
}

void CGestioneMemMap::ClearMemoryMap() {
    m_ParamMemMap.fill(0);
    m_AnalogOutMemMap.fill(0);
    m_DigOutMemMap.fill(0);
    m_AlarmMemMap.fill(0);
    m_PulseMemMap.fill(0);
    m_PulseMemMap[0] = PulseWordStart;
    m_PulseMemMap[8] = PulseWordStart;
}

void CGestioneMemMap::LoadUserSetup() {
    m_UserSetup.load(archive(), m_IDProgramma);
}

void CGestioneMemMap::SaveUserSetup() {
    if (m_ImportMode)
        m_UserSetup.saveNew(archive(), m_IDProgramma);
    else
        m_UserSetup.saveOver(archive(), m_IDProgramma);
}

void CGestioneMemMap::ConvertUserSetupToMemoryMap() {
    g_Trace().BugMessage(QStringLiteral("Inizio ConvertUserSetupToMemoryMap()"));
    ClearMemoryMap();
    LoadUserSetup();
    EncodeUserSetup();
}

void CGestioneMemMap::ConvertRecordsToMemoryMap() {
    g_Trace().BugMessage(QStringLiteral("Inizio ConvertUserSetupToMemoryMap()"));
    ClearMemoryMap();
    EncodeUserSetup();
}

void CGestioneMemMap::ConvertMemoryMapToUserSetup() {
    DecodeMemoryMap();
    SaveUserSetup();
    g_Trace().BugMessage(QStringLiteral("Fine ConvertMemoryMapToUserSetup()"));
}

void CGestioneMemMap::ConvertMemoryMapToRecords() {
    DecodeMemoryMap();
    g_Trace().BugMessage(QStringLiteral("Fine ConvertMemoryMapToUserSetup()"));
}

template <size_t N>
void CGestioneMemMap::putScaled(std::array<qint16, N>& block, int at, qint16 value, qint16 step) {
    CFloatToIntDPScale& s = scaler();
    s.IntDPScale(value, step);
    const qint32 bits = LongFromSingle(s.FloatValue());
    word(block, at, "memory map") = LoWord(bits);
    word(block, at + 1, "memory map") = HiWord(bits);
}

void CGestioneMemMap::EncodeUserSetup() {
    CTraceCode& trace = g_Trace();
    trace.BugMessage(
        QStringLiteral("Conversione delle impostazioni utente nella codifica interna dello "
                       "strumento."));
    const CUsoInstr& uso = m_UserSetup.UsoInstr();
    m_InstrModel = uso.InstrModel();

    m_ParamMemMap[0] = 0;
    m_ParamMemMap[1] = LoWord(uso.RapportoTA());
    m_ParamMemMap[2] = LoWord(uso.RapportoTV());
    m_ParamMemMap[3] = uso.FilterScale();
    m_ParamMemMap[4] = uso.FilterCoeff();
    m_ParamMemMap[5] = uso.IntTimePot();
    m_ParamMemMap[6] = uso.IntTimeCorr();
    m_ParamMemMap[7] = uso.System();

    if (HasNetworkAddress(m_InstrModel)) {
        m_ParamMemMap[8] = m_UserSetup.SerialComm().NetworkAdd();
        m_ParamMemMap[9] = m_UserSetup.SerialComm().BaudRate();
    }

    if (HasAlarmBlocks(m_InstrModel)) {
        const CDigOutConfig& dig = m_UserSetup.DigOutConfig();
        const qint16 mode1 = dig.DigOut1();
        const qint16 mode2 = dig.DigOut2();
        const bool energized1 = dig.StatusDigOut1() == 1;
        const bool energized2 = dig.StatusDigOut2() == 1;
        int w0 = 0;
        if (mode1 == CDigOutConfig::Alarm && energized1)
            w0 |= 0x0001;
        if (mode2 == CDigOutConfig::Alarm && energized2)
            w0 |= 0x0010;
        int w2 = 0;
        if (mode1 == CDigOutConfig::RemoteControl && energized1)
            w2 |= 0x0001;
        if (mode2 == CDigOutConfig::RemoteControl && energized2)
            w2 |= 0x0100;
        m_DigOutMemMap[0] = qint16(w0);
        m_DigOutMemMap[1] = MakeWord(modeCode(mode1), modeCode(mode2));
        m_DigOutMemMap[2] = qint16(w2);

        if (mode1 == CDigOutConfig::Pulses)
            ConvertPulseOutToMemoryMap(1);
        else if (mode1 == CDigOutConfig::Alarm)
            ConvertAlarmsToMemoryMap(1, dig.NumAlarm1(), 1);
        if (mode2 == CDigOutConfig::Pulses)
            ConvertPulseOutToMemoryMap(2);
        else if (mode2 == CDigOutConfig::Alarm)
            ConvertAlarmsToMemoryMap(2, dig.NumAlarm2(), dig.NumAlarm1() + 1);
    }

    if (HasAnalogOutputs(m_InstrModel)) {
        const int outputs = analogueBlockOutputs(m_InstrModel);
        for (int k = 0; k < outputs; ++k) {
            const CAnalogOutSetup& out = m_UserSetup.AnalogOutSetup(k + 1);
            const int at = 8 * k;
            m_AnalogOutMemMap[size_t(at)] =
                codeWord(out.VariabileRipetuta(),
                         QStringLiteral("%1.VariabileRipetuta").arg(out.ClassName()));
            m_AnalogOutMemMap[size_t(at + 1)] = qint16(k);
            m_AnalogOutMemMap[size_t(at + 2)] = out.MinOut();
            m_AnalogOutMemMap[size_t(at + 3)] = out.MaxOut();
            putScaled(m_AnalogOutMemMap, at + 4, out.MinIn(), out.ScaleSelect());
            putScaled(m_AnalogOutMemMap, at + 6, out.MaxIn(), out.ScaleSelect());
        }
    }

    trace.BugMessage(QStringLiteral("Fine ConvertUserSetupToMemoryMap()"));
    trace.BugMessage(QStringLiteral("Dump della codifica interna della configurazione utente"));
    DumpMemoryMap();
}

void CGestioneMemMap::ConvertAlarmsToMemoryMap(int output, int count, int first) {
    g_Trace().BugMessage(QStringLiteral("Impostazione di %1 allarmi a partire dal blocco %2 "
                                        "per l'uscita nr.%3")
                             .arg(count)
                             .arg(first)
                             .arg(output));
    const CAlarm& alarm = m_UserSetup.Alarm(output == 1 ? 1 : 2);
    for (int j = 0; j < count; ++j) {
        const int at = 8 * (first - 1 + j);
        const qint16 code =
            codeWord(alarm.VarControllata(j),
                     QStringLiteral("%1.VarControllata(%2)").arg(alarm.ClassName()).arg(j));
        word(m_AlarmMemMap, at, "AlarmMemMap") = MakeWord(LoByte(code), LoByte(alarm.DelayTime(j)));

        quint16 flags = quint16(alarm.AlarmType(j)) & quint16(~kAlarmFlagBits);
        if (alarm.AlarmStatus(j) == 1)
            flags |= kAlarmStatusBit;
        if (output != 1)
            flags |= kAlarmOutput2Bit;
        if (alarm.LogicFunction(j) == 1)
            flags |= kAlarmLogicBit;
        if (alarm.AlarmStartup(j) == 1)
            flags |= kAlarmStartupBit;
        word(m_AlarmMemMap, at + 1, "AlarmMemMap") = qint16(flags);

        putScaled(m_AlarmMemMap, at + 2, alarm.MinAlarm(j), alarm.ScaleSelect(j));
        putScaled(m_AlarmMemMap, at + 4, alarm.MaxAlarm(j), alarm.ScaleSelect(j));
    }
}

void CGestioneMemMap::ConvertPulseOutToMemoryMap(int output) {
    const CPulseOutSetup& pulse = m_UserSetup.PulseOutSetup(output == 1 ? 1 : 2);
    const size_t at = output == 1 ? 0 : 8;
    const quint8 counter = LoByte(qint32(pulse.SelectCounter()) + kCounterKWhTot);
    const bool active = pulse.PulseOutStatus() == 1;
    // Output 2 carries its status in bit 1, with bit 2 always set.
    const quint8 status = output == 1 ? quint8(active ? 0x01 : 0x00) : quint8(active ? 0x06 : 0x04);
    m_PulseMemMap[at] = MakeWord(counter, status);
    m_PulseMemMap[at + 1] = LoWord(pulse.PulseOut());
}

CGestioneMemMap::Limits CGestioneMemMap::readLimits(qint16 variable, float upper, float lower) {
    CVariableRangeScale& r = range();
    r.setVariable(variable);
    const CVariableType& type = r.VariableType();
    CFloatToIntDPScale& s = scaler();
    const bool fixed = type.IsASY() || type.IsHZ() || type.IsPFFase() || type.IsPFSys();
    Limits limits{};
    if (fixed) {
        s.SetFloatValue(upper, r.DPScaleMax());
        // A zero keeps step 5 in the conversion; the pages offer these variables only at
        // their fixed step, and zero is zero at any step.
        limits.step = upper == 0.0f ? r.DPScaleMax() : s.DPScale();
    } else if (std::fabs(lower) > std::fabs(upper)) {
        // The upper limit's step would not hold the lower one (-500 kW below 0 W).
        s.setFloatValue(lower);
        limits.step = s.DPScale();
    } else {
        s.setFloatValue(upper);
        limits.step = s.DPScale();
    }
    s.SetFloatValue(upper, limits.step);
    limits.upper = s.IntValue();
    s.SetFloatValue(lower, limits.step);
    limits.lower = s.IntValue();
    return limits;
}

void CGestioneMemMap::DecodeMemoryMap() {
    CTraceCode& trace = g_Trace();
    trace.BugMessage(QStringLiteral("Inizio ConvertMemoryMapToUserSetup()"));
    trace.BugMessage(
        QStringLiteral("Conversione della codifica interna dello strumento in impostazioni "
                       "utente per il wizard."));
    trace.BugMessage(QStringLiteral("Dump della codifica interna dello strumento."));
    DumpMemoryMap();

    CUsoInstr& uso = m_UserSetup.UsoInstr();
    if (!m_ImportMode)
        uso.setNomeProgramma(ResString(640));
    uso.setInstrModel(m_InstrModel);

    uso.setRapportoTA(quint16(m_ParamMemMap[1]));
    uso.setRapportoTV(quint16(m_ParamMemMap[2]));
    uso.setFilterScale(m_ParamMemMap[3]);
    uso.setFilterCoeff(m_ParamMemMap[4]);
    uso.setIntTimePot(m_ParamMemMap[5]);
    uso.setIntTimeCorr(m_ParamMemMap[6]);
    uso.setSystem(m_ParamMemMap[7]);

    // An exchange file has no address and speed words: taking them would program address
    // 0 into the instrument at the next transmission.
    if (HasNetworkAddress(m_InstrModel) && !m_ImportMode) {
        m_UserSetup.SerialComm().setNetworkAdd(m_ParamMemMap[8]);
        m_UserSetup.SerialComm().setBaudRate(m_ParamMemMap[9]);
    }

    if (HasAlarmBlocks(m_InstrModel)) {
        CDigOutConfig& dig = m_UserSetup.DigOutConfig();
        const quint16 modes = quint16(m_DigOutMemMap[1]);
        const quint16 alarmStates = quint16(m_DigOutMemMap[0]);
        const quint16 remoteStates = quint16(m_DigOutMemMap[2]);

        switch (LoByte(modes)) {
            case kCodeRemote:
                dig.setDigOut1(CDigOutConfig::RemoteControl);
                dig.setStatusDigOut1((remoteStates & 0x0001) ? 1 : 0);
                break;
            case kCodePulses:
                dig.setDigOut1(CDigOutConfig::Pulses);
                ConvertMemoryMapToPulseOut(1);
                break;
            default:
                dig.setDigOut1(CDigOutConfig::Alarm);
                dig.setStatusDigOut1((alarmStates & 0x0001) ? 1 : 0);
                dig.setNumAlarm1(ConvertMemoryMapToAlarms(1));
                break;
        }
        switch (HiByte(modes)) {
            case kCodeRemote:
                dig.setDigOut2(CDigOutConfig::RemoteControl);
                dig.setStatusDigOut2((remoteStates & 0x0100) ? 1 : 0);
                break;
            case kCodePulses:
                dig.setDigOut2(CDigOutConfig::Pulses);
                ConvertMemoryMapToPulseOut(2);
                break;
            default:
                dig.setDigOut2(CDigOutConfig::Alarm);
                dig.setStatusDigOut2((alarmStates & 0x0010) ? 1 : 0);
                dig.setNumAlarm2(ConvertMemoryMapToAlarms(2));
                break;
        }
    }

    if (HasAnalogOutputs(m_InstrModel)) {
        const int outputs = analogueBlockOutputs(m_InstrModel);
        for (int k = 0; k < outputs; ++k) {
            CAnalogOutSetup& out = m_UserSetup.AnalogOutSetup(k + 1);
            const size_t at = size_t(8 * k);
            out.setVariabileRipetuta(m_AnalogOutMemMap[at]);
            out.setMinOut(m_AnalogOutMemMap[at + 2]);
            out.setMaxOut(m_AnalogOutMemMap[at + 3]);
            const Limits limits = readLimits(
                m_AnalogOutMemMap[at],
                SingleFromLong(MakeLong(m_AnalogOutMemMap[at + 6], m_AnalogOutMemMap[at + 7])),
                SingleFromLong(MakeLong(m_AnalogOutMemMap[at + 4], m_AnalogOutMemMap[at + 5])));
            out.setScaleSelect(limits.step);
            out.setMaxIn(limits.upper);
            out.setMinIn(limits.lower);
        }
    }
}

qint16 CGestioneMemMap::ConvertMemoryMapToAlarms(int output) {
    CAlarm& alarm = m_UserSetup.Alarm(output == 1 ? 1 : 2);
    // An export clears the blocks after the last alarm: in a file they are not alarms.
    int blocks = AlarmBlocks;
    while (m_ImportMode && blocks > 0 && isZeroAlarmBlock(blocks - 1))
        --blocks;
    qint16 count = 0;
    for (int b = 0; b < blocks; ++b) {
        const size_t at = size_t(8 * b);
        const quint16 flags = quint16(m_AlarmMemMap[at + 1]);
        const int owner = (flags & kAlarmOutput2Bit) ? 2 : 1;
        if (owner != (output == 1 ? 1 : 2))
            continue;
        const int j = count;
        alarm.setVarControllata(j, LoByte(m_AlarmMemMap[at]));
        alarm.setDelayTime(j, HiByte(m_AlarmMemMap[at]));
        alarm.setAlarmType(j, qint16(flags & kAlarmTypeBits));
        alarm.setAlarmStatus(j, (flags & kAlarmStatusBit) ? 1 : 0);
        alarm.setLogicFunction(j, (flags & kAlarmLogicBit) ? 1 : 0);
        alarm.setAlarmStartup(j, (flags & kAlarmStartupBit) ? 1 : 0);
        const Limits limits =
            readLimits(LoByte(m_AlarmMemMap[at]),
                       SingleFromLong(MakeLong(m_AlarmMemMap[at + 4], m_AlarmMemMap[at + 5])),
                       SingleFromLong(MakeLong(m_AlarmMemMap[at + 2], m_AlarmMemMap[at + 3])));
        alarm.setScaleSelect(j, limits.step);
        alarm.setMaxAlarm(j, limits.upper);
        alarm.setMinAlarm(j, limits.lower);
        ++count;
    }
    return count;
}

bool CGestioneMemMap::isZeroAlarmBlock(int block) const {
    for (int w = 0; w < AlarmWords / AlarmBlocks; ++w) {
        if (m_AlarmMemMap[size_t(block * AlarmWords / AlarmBlocks + w)] != 0)
            return false;
    }
    return true;
}

void CGestioneMemMap::ConvertMemoryMapToPulseOut(int output) {
    CPulseOutSetup& pulse = m_UserSetup.PulseOutSetup(output == 1 ? 1 : 2);
    const size_t at = output == 1 ? 0 : 8;
    const quint16 first = quint16(m_PulseMemMap[at]);
    const quint8 statusBit = output == 1 ? 0x01 : 0x02;
    const quint8 counter = LoByte(first);
    g_Trace().BugAssert(counter == kCounterKWhTot || counter == kCounterKvarhTot,
                        QStringLiteral("Contatore non ammesso!!!"));
    pulse.setPulseOutStatus((HiByte(first) & statusBit) ? 1 : 0);
    pulse.setSelectCounter(qint16(counter - kCounterKWhTot));
    pulse.setPulseOut(quint16(m_PulseMemMap[at + 1]));
}

QStringList CGestioneMemMap::DumpLines() const {
    QStringList lines{QStringLiteral("Instrument map memory dump:")};
    const auto add = [&lines](int reg, qint16 w) {
        lines << QStringLiteral("Add ") + hexText(quint32(reg)) + QStringLiteral("=0x") +
                     hexText(quint16(w));
    };
    for (int i = 0; i < kParamFileWords; ++i)
        add(ParamFirstRegister + i, m_ParamMemMap[size_t(i)]);
    for (int i = 0; i < AnalogOutWords; ++i)
        add(AnalogOutFirstRegister + i, m_AnalogOutMemMap[size_t(i)]);
    for (int i = 0; i < DigOutWords; ++i)
        add(DigOutRegisters[size_t(i)], m_DigOutMemMap[size_t(i)]);
    for (int i = 0; i < AlarmWords; ++i)
        add(AlarmFirstRegister + i, m_AlarmMemMap[size_t(i)]);
    for (int i = 0; i < PulseWords; ++i)
        add(PulseFirstRegister + i, m_PulseMemMap[size_t(i)]);
    return lines;
}

void CGestioneMemMap::DumpMemoryMap() {
    CTraceCode& trace = g_Trace();
    for (const QString& line : DumpLines())
        trace.BugMessage(line);
}

QString CGestioneMemMap::NameInFile(const QString& name) {
    QByteArray field;
    putText(field, name, TextFieldSize);
    return getText(field, 0, TextFieldSize);
}

QByteArray CGestioneMemMap::MemorySetupBytes() const {
    QByteArray out;
    out.reserve(FileSize);
    putText(out, FileIdentification, TextFieldSize);
    put16(out, qint16(kVersionMajor));
    put16(out, qint16(kVersionMinor));
    put16(out, qint16(kVersionRevision));
    putText(out, m_UserSetup.UsoInstr().NomeProgramma(), TextFieldSize);
    put32(out, m_InstrModel);
    for (int i = 0; i < kParamFileWords; ++i)
        put16(out, m_ParamMemMap[size_t(i)]);
    for (qint16 w : m_AnalogOutMemMap)
        put16(out, w);
    for (qint16 w : m_DigOutMemMap)
        put16(out, w);
    for (qint16 w : m_AlarmMemMap)
        put16(out, w);
    for (qint16 w : m_PulseMemMap)
        put16(out, w);
    Q_ASSERT(out.size() == FileSize);
    return out;
}

void CGestioneMemMap::SaveMemorySetup(const QString& file) {
    WriteFileSafely(file, MemorySetupBytes());
}

bool CGestioneMemMap::ReadMemorySetupBytes(const QByteArray& bytes) {
    // Our files are exactly this long: more bytes mean another format.
    if (bytes.size() != FileSize)
        return false;
    if (getText(bytes, 0, TextFieldSize) != FileIdentification)
        return false;

    // Decoded completely before anything of the object changes.
    std::array<qint16, ParamWords> param = m_ParamMemMap;
    std::array<qint16, AnalogOutWords> analog{};
    std::array<qint16, DigOutWords> dig{};
    std::array<qint16, AlarmWords> alarm{};
    std::array<qint16, PulseWords> pulse{};
    const QString name = getText(bytes, kNameOffset, TextFieldSize);
    const qint32 model = get32(bytes, kModelOffset);
    int at = kParamOffset;
    for (int i = 0; i < kParamFileWords; ++i, at += 2)
        param[size_t(i)] = get16(bytes, at);
    for (qint16& w : analog) {
        w = get16(bytes, at);
        at += 2;
    }
    for (qint16& w : dig) {
        w = get16(bytes, at);
        at += 2;
    }
    for (qint16& w : alarm) {
        w = get16(bytes, at);
        at += 2;
    }
    for (qint16& w : pulse) {
        w = get16(bytes, at);
        at += 2;
    }
    Q_ASSERT(at == FileSize);

    m_UserSetup.UsoInstr().setNomeProgramma(name);
    m_InstrModel = model;
    m_ParamMemMap = param;
    m_AnalogOutMemMap = analog;
    m_DigOutMemMap = dig;
    m_AlarmMemMap = alarm;
    m_PulseMemMap = pulse;
    return true;
}

bool CGestioneMemMap::ReadMemorySetup(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Cannot read %1: %2").arg(file, f.errorString()));
    // One byte more than the layout, to tell a longer file from ours.
    const QByteArray bytes = f.read(FileSize + 1);
    if (f.error() != QFileDevice::NoError)
        throw IoError(QStringLiteral("Cannot read %1: %2").arg(file, f.errorString()));
    return ReadMemorySetupBytes(bytes);
}

bool CGestioneMemMap::Export(const QString& file, qint32 id) {
    m_IDProgramma = id;
    ConvertUserSetupToMemoryMap();
    SaveMemorySetup(file);
    return true;
}

bool CGestioneMemMap::Import(const QString& file, qint32 id) {
    m_ImportMode = true;
    m_IDProgramma = id;
    m_ImportProblems.clear();
    if (!ReadMemorySetup(file))
        return false;
    DecodeMemoryMap();
    m_ImportProblems = ValidateConfiguration(m_UserSetup);
    if (!m_ImportProblems.isEmpty())
        return false;
    SaveUserSetup();
    g_Trace().BugMessage(QStringLiteral("Fine ConvertMemoryMapToUserSetup()"));
    return true;
}

}  // namespace voltaris
