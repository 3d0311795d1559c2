#include "sim/SimInstrument.h"

#include "base/Errors.h"
#include "base/MBytes.h"
#include "comm/Frames.h"
#include "sim/SimModels.h"

#include <QJsonArray>

namespace voltaris {

using namespace MBytes;

namespace {

constexpr quint8 kExceptionFlag = 0x80;
constexpr int kMaxModbusReadCount = 125;
constexpr quint16 kRegAlarmStates2 = kRegAlarmStates + 1;
constexpr quint16 kParamSystem = kRegWiringSystem;
constexpr quint16 kParamRatioTA = kRegParam + 1;
constexpr quint16 kParamRatioTV = kRegParam + 2;
constexpr quint16 kParamIntTimePot = kRegParam + 5;
constexpr quint16 kParamIntTimeCorr = kRegParam + 6;
constexpr quint16 kAnalogLast = kRegAnalogOut + 23;
constexpr quint16 kPulseLast = kRegPulse + 15;
constexpr quint8 kOutputIsPulse = 0xBB;

QString hex4(quint32 v) {
    return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0'));
}

}  // namespace

SimRequest SimRequest::fromFrame(const QByteArray& frame) {
    SimRequest r;
    r.frame = frame;
    const auto at = [&frame](int i) {
        return i < frame.size() ? static_cast<quint8>(frame.at(i)) : quint8{0};
    };
    r.address = at(0);
    r.function = at(1);
    r.reg = static_cast<quint16>((at(2) << 8) | at(3));
    r.word = static_cast<quint16>((at(4) << 8) | at(5));
    return r;
}

SimInstrument::SimInstrument(quint32 model, quint8 address, int speedCode, qint64 nowMs,
                             double seed)
    : m_model(model), m_live(seed, nowMs) {
    // Factory settings: those of a new configuration (ratios 1, filters 1, integration
    // times 15 minutes, unbalanced system, both outputs pulsing total active energy).
    const qint16 param[10] = {
        0, 1, 10, 1, 1, 15, 15, 0, static_cast<qint16>(address), static_cast<qint16>(speedCode)};
    for (int i = 0; i < 10; ++i)
        word(m_config, kRegParam + i) = param[i];
    word(m_config, kRegOutputFunctions) =
        static_cast<qint16>((kOutputIsPulse << 8) | kOutputIsPulse);
    word(m_config, kRegPulse) = 0x002B;
    word(m_config, kRegPulse + 1) = 1;
    word(m_config, kRegPulse + 8) = 0x042B;
    word(m_config, kRegPulse + 9) = 1;
    applyConfiguration(nowMs);
}

quint8 SimInstrument::address() const {
    return static_cast<quint8>(word(m_config, kRegNetworkAddress) & 0xFF);
}

int SimInstrument::speedCode() const {
    return word(m_config, kRegBaudRate);
}

qint32 SimInstrument::BaudForSpeedCode(int code) {
    switch (code) {
        case 0:
            return 4800;
        case 1:
            return 9600;
        case 2:
            return 19200;
        case 3:
            return 38400;
        default:
            return 0;
    }
}

int SimInstrument::SpeedCodeForBaud(qint32 baud) {
    for (int code = 0; code < 4; ++code) {
        if (BaudForSpeedCode(code) == baud)
            return code;
    }
    return -1;
}

bool SimInstrument::isOutputModuleRegister(quint16 reg) {
    return reg == kRegDigOut || reg == kRegOutputFunctions || reg == kRegDigOutWord2 ||
           (reg >= kRegAlarm && reg <= kPulseLast);
}

bool SimInstrument::isUnusedRegister(quint16 reg) {
    return reg == kRegDigOut + 1 || reg == kRegDigOut + 2 || reg == kRegDigOutWord2 + 1;
}

qint16 SimInstrument::configWord(quint16 reg) const {
    if (reg < kConfigFirst || reg > kConfigLast)
        return 0;
    return word(m_config, reg);
}

void SimInstrument::applyConfiguration(qint64 nowMs) {
    SimMeasureSetup setup;
    setup.system = word(m_config, kParamSystem);
    setup.ratioTA = static_cast<quint16>(word(m_config, kParamRatioTA));
    setup.ratioTV = static_cast<quint16>(word(m_config, kParamRatioTV));
    setup.intTimePot = word(m_config, kParamIntTimePot);
    setup.intTimeCorr = word(m_config, kParamIntTimeCorr);
    setup.highVoltageClass = SimHighVoltageClass(m_model);
    m_live.setSetup(setup, nowMs);

    QList<SimAlarm> alarms;
    bool out1 = false;
    bool out2 = false;
    if (SimHasDigitalOutputs(m_model)) {
        const quint16 functions = static_cast<quint16>(word(m_config, kRegOutputFunctions));
        out1 = LoByte(functions) == kOutputIsAlarm;
        // The type 16 module has a single output.
        out2 = SimModuleType(m_model) != 16 && HiByte(functions) == kOutputIsAlarm;
        for (int b = 0; b < 16; ++b) {
            const quint16 base = kRegAlarm + 8 * b;
            const qint16 w0 = word(m_config, base);
            const qint16 w1 = word(m_config, base + 1);
            SimAlarm a;
            a.variable = LoByte(w0);
            a.delayS = HiByte(w0);
            a.type = w1 & 7;
            a.enabled = w1 & 0x08;
            a.output = (w1 & 0x10) ? 1 : 0;
            a.orLogic = w1 & 0x20;
            a.activeAtStartup = w1 & 0x40;
            a.lower = SingleFromLong(MakeLong(word(m_config, base + 2), word(m_config, base + 3)));
            a.upper = SingleFromLong(MakeLong(word(m_config, base + 4), word(m_config, base + 5)));
            if (a.enabled)
                alarms.append(a);
        }
    }
    m_live.setAlarms(alarms, out1, out2, nowMs);
}

SimInstrument::Answer SimInstrument::exception(const SimRequest& request, SimException code,
                                               const QString& note) const {
    QByteArray body;
    body.append(static_cast<char>(request.address));
    body.append(static_cast<char>(request.function | kExceptionFlag));
    body.append(static_cast<char>(code));
    Answer a;
    a.reply = AppendCRC(body);
    a.note = QStringLiteral("exception %1: %2").arg(static_cast<int>(code)).arg(note);
    return a;
}

std::optional<qint16> SimInstrument::readRegister(quint16 reg, qint64 nowMs) {
    if (const auto held = m_held.constFind(reg); held != m_held.cend())
        return *held;
    if (reg <= kLiveLast) {
        if (reg >= SimLiveModel::kWordCount)
            return qint16{0};
        return m_live.registers(nowMs)[reg];
    }
    switch (reg) {
        case kRegModelHigh:
            return static_cast<qint16>((m_model >> 16) & 0xFFu);
        case kRegModelLow:
            return LoWord(static_cast<qint32>(m_model));
        case kRegAlarmStates:
        case kRegAlarmStates2:
            m_live.advanceTo(nowMs);
            return static_cast<qint16>(m_live.alarmActive(reg - kRegAlarmStates) ? 1 : 0);
        default:
            break;
    }
    if (reg < kConfigFirst || reg > kConfigLast)
        return std::nullopt;
    if (isUnusedRegister(reg))
        return qint16{0};
    if (m_pending && isOutputModuleRegister(reg))
        return word(*m_pending, reg);
    return word(m_config, reg);
}

SimInstrument::Answer SimInstrument::answer(const SimRequest& request, qint64 nowMs) {
    switch (request.function) {
        case kFuncReadRegisters:
            return read(request, nowMs);
        case kFuncWriteRegister:
            return write(request, nowMs);
        default:
            return exception(request, SimException::IllegalFunction,
                             QStringLiteral("function 0x%1 not supported")
                                 .arg(request.function, 2, 16, QLatin1Char('0')));
    }
}

SimInstrument::Answer SimInstrument::read(const SimRequest& request, qint64 nowMs) {
    const int count = request.word;
    if (count < 1 || count > kMaxModbusReadCount)
        return exception(request, SimException::IllegalValue,
                         QStringLiteral("read of %1 registers").arg(count));
    if (request.reg + count - 1 > 0xFFFF)
        return exception(request, SimException::IllegalAddress,
                         QStringLiteral("read past register 65535"));
    // The live block is computed once per request, so one reply is one moment.
    std::optional<std::array<qint16, SimLiveModel::kWordCount>> live;
    QByteArray body;
    body.append(static_cast<char>(request.address));
    body.append(static_cast<char>(request.function));
    body.append(static_cast<char>(2 * count));
    for (int i = 0; i < count; ++i) {
        const quint16 reg = static_cast<quint16>(request.reg + i);
        std::optional<qint16> v;
        if (reg < SimLiveModel::kWordCount) {
            if (!live)
                live = m_live.registers(nowMs);
            v = (*live)[reg];
        } else {
            v = readRegister(reg, nowMs);
        }
        if (!v)
            return exception(request, SimException::IllegalAddress,
                             QStringLiteral("register %1 cannot be read").arg(reg));
        body.append(static_cast<char>(HiByte(*v)));
        body.append(static_cast<char>(LoByte(*v)));
    }
    Answer a;
    a.reply = AppendCRC(body);
    a.note = QStringLiteral("read %1 x%2").arg(request.reg).arg(count);
    return a;
}

SimInstrument::Answer SimInstrument::write(const SimRequest& request, qint64 nowMs) {
    const quint16 reg = request.reg;
    const qint16 value = static_cast<qint16>(request.word);
    Answer a;
    a.reply = request.frame.left(kRequestLength);  // a write is answered by its echo
    a.note = QStringLiteral("write %1 = %2").arg(reg).arg(hex4(request.word));
    const auto noModule = [&](const char* module) {
        return exception(
            request, SimException::IllegalAddress,
            QStringLiteral("register %1: the model has no %2").arg(reg).arg(QLatin1String(module)));
    };

    if (reg >= kRegParam && reg <= kRegWiringSystem) {
        word(m_config, reg) = value;
        applyConfiguration(nowMs);
        a.stateChanged = true;
        return a;
    }
    if (reg == kRegNetworkAddress) {
        if (!SimHasSerialModule(m_model))
            return noModule("serial module");
        if (request.word < 1 || request.word > 255)
            return exception(request, SimException::IllegalValue,
                             QStringLiteral("network address %1").arg(request.word));
        word(m_config, reg) = value;
        a.stateChanged = true;
        a.note += QStringLiteral(": network address now %1").arg(request.word);
        return a;
    }
    if (reg == kRegBaudRate) {
        if (!SimHasSerialModule(m_model))
            return noModule("serial module");
        if (BaudForSpeedCode(value) == 0)
            return exception(request, SimException::IllegalValue,
                             QStringLiteral("speed code %1").arg(request.word));
        word(m_config, reg) = value;
        a.stateChanged = true;
        a.speedChanged = true;
        a.note += QStringLiteral(": speed now %1 baud").arg(baudRate());
        return a;
    }
    if (reg >= kRegAnalogOut && reg <= kAnalogLast) {
        if (!SimHasAnalogOutputs(m_model))
            return noModule("analogue outputs");
        word(m_config, reg) = value;
        a.stateChanged = true;
        return a;
    }
    if (reg == kRegUnlockBlocks) {
        if (!SimHasDigitalOutputs(m_model))
            return noModule("output module");
        if (value != kUnlockBlocksValue)
            return exception(
                request, SimException::IllegalValue,
                QStringLiteral("register 255 takes 0xc0c0, not %1").arg(hex4(request.word)));
        m_pending = m_config;
        a.note += QStringLiteral(": output module open for programming");
        return a;
    }
    if (reg == kRegBlocksWritten) {
        if (!SimHasDigitalOutputs(m_model))
            return noModule("output module");
        if (value != 0)
            return exception(
                request, SimException::IllegalValue,
                QStringLiteral("register 263 takes 0, not %1").arg(hex4(request.word)));
        if (m_pending) {
            m_config = *m_pending;
            m_pending.reset();
            applyConfiguration(nowMs);
            a.stateChanged = true;
            a.note += QStringLiteral(": output module settings applied");
        }
        return a;
    }
    if (isOutputModuleRegister(reg)) {
        if (!SimHasDigitalOutputs(m_model))
            return noModule("output module");
        if (!m_pending)
            return exception(
                request, SimException::DeviceFailure,
                QStringLiteral("register %1 written without 255 = 0xc0c0 first").arg(reg));
        word(*m_pending, reg) = value;
        return a;
    }
    if (reg == kRegReset) {
        const quint8 code = HiByte(value);
        if (LoByte(value) != 0 || code > static_cast<quint8>(ResetCode::MaxMin))
            return exception(request, SimException::IllegalValue,
                             QStringLiteral("reset value %1").arg(hex4(request.word)));
        m_live.reset(static_cast<ResetCode>(code), nowMs);
        a.stateChanged = true;
        a.note += QStringLiteral(": reset %1").arg(code);
        return a;
    }
    return exception(request, SimException::IllegalAddress,
                     QStringLiteral("register %1 cannot be written").arg(reg));
}

QJsonObject SimInstrument::saveState(qint64 nowMs) {
    m_live.advanceTo(nowMs);
    QJsonObject o;
    o[QStringLiteral("model")] = QStringLiteral("0x%1").arg(m_model, 8, 16, QLatin1Char('0'));
    const QString name = SimModelName(m_model);
    if (!name.isEmpty())
        o[QStringLiteral("name")] = name;
    QJsonArray config;
    for (qint16 w : m_config)
        config.append(w);
    o[QStringLiteral("config")] = config;
    const SimCounters c = m_live.counters();
    o[QStringLiteral("counters")] = QJsonObject{
        {QStringLiteral("activeTotal"), c.activeTotal},
        {QStringLiteral("reactiveTotal"), c.reactiveTotal},
        {QStringLiteral("activePartial"), c.activePartial},
        {QStringLiteral("reactivePartial"), c.reactivePartial},
        {QStringLiteral("hours"), c.hours},
    };
    QJsonArray extremes;
    for (double e : m_live.extremes())
        extremes.append(e);
    o[QStringLiteral("extremes")] = extremes;
    return o;
}

void SimInstrument::restoreState(const QJsonObject& state, qint64 nowMs) {
    const auto bad = [](const QString& what) {
        return VoltarisError(QStringLiteral("Bad instrument state: %1").arg(what));
    };
    bool ok = false;
    const quint32 model = state.value(QStringLiteral("model")).toString().mid(2).toUInt(&ok, 16);
    if (!ok)
        throw bad(QStringLiteral("\"model\" is not an identifier such as 0x00240004"));
    if ((model & 0x00FFFFFFu) != (m_model & 0x00FFFFFFu))
        throw bad(QStringLiteral("it is for model 0x%1, not 0x%2")
                      .arg(model, 8, 16, QLatin1Char('0'))
                      .arg(m_model, 8, 16, QLatin1Char('0')));
    const QJsonArray config = state.value(QStringLiteral("config")).toArray();
    if (config.size() != kConfigWords)
        throw bad(
            QStringLiteral("\"config\" must hold %1 words (registers 409..592)").arg(kConfigWords));
    Image image{};
    for (int i = 0; i < kConfigWords; ++i) {
        const QJsonValue v = config.at(i);
        const double d = v.toDouble(1e9);
        if (!v.isDouble() || d != static_cast<qint16>(d))
            throw bad(QStringLiteral("register %1 is not a 16-bit word").arg(kConfigFirst + i));
        image[i] = static_cast<qint16>(d);
    }
    const int address = image[kRegNetworkAddress - kConfigFirst];
    const int speed = image[kRegBaudRate - kConfigFirst];
    if (address < 1 || address > 255)
        throw bad(QStringLiteral("network address %1 is outside 1..255").arg(address));
    if (BaudForSpeedCode(speed) == 0)
        throw bad(QStringLiteral("speed code %1 is outside 0..3").arg(speed));
    const QJsonObject co = state.value(QStringLiteral("counters")).toObject();
    SimCounters c;
    double* fields[] = {&c.activeTotal, &c.reactiveTotal, &c.activePartial, &c.reactivePartial,
                        &c.hours};
    const char* names[] = {"activeTotal", "reactiveTotal", "activePartial", "reactivePartial",
                           "hours"};
    for (int i = 0; i < 5; ++i) {
        const QJsonValue v = co.value(QLatin1String(names[i]));
        if (!v.isDouble() || v.toDouble() < 0)
            throw bad(QStringLiteral("counter \"%1\" is missing or negative")
                          .arg(QLatin1String(names[i])));
        *fields[i] = v.toDouble();
    }
    const QJsonArray ex = state.value(QStringLiteral("extremes")).toArray();
    if (ex.size() != SimLiveModel::kExtremeCount)
        throw bad(
            QStringLiteral("\"extremes\" must hold %1 values").arg(SimLiveModel::kExtremeCount));
    std::array<double, SimLiveModel::kExtremeCount> extremes{};
    for (int i = 0; i < SimLiveModel::kExtremeCount; ++i)
        extremes[i] = ex.at(i).toDouble();

    m_config = image;
    m_pending.reset();
    applyConfiguration(nowMs);
    m_live.setCounters(c);
    m_live.setExtremes(extremes);
}

}  // namespace voltaris
