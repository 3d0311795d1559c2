#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <array>
#include <optional>

#include "sim/SimLiveModel.h"

namespace voltaris {

// A request frame whose CRC has been verified, split into its fields.
struct SimRequest {
    quint8 address = 0;
    quint8 function = 0;
    quint16 reg = 0;   // first register
    quint16 word = 0;  // register count of a read, value of a write
    QByteArray frame;  // the whole frame, CRC included

    // Splits a frame of at least 4 bytes (fields past its end read 0).
    static SimRequest fromFrame(const QByteArray& frame);
};

// Modbus exception codes the instrument answers with.
enum class SimException : quint8 {
    IllegalFunction = 0x01,
    IllegalAddress = 0x02,
    IllegalValue = 0x03,
    DeviceFailure = 0x04,
};

// One simulated instrument: its model, line address and speed, the configuration registers
// 409..592, the special writes (255/263 around the output blocks, 417 address, 418 speed,
// 8430 resets) and the live registers 0..121, 259, 260 of a SimLiveModel.
//
// Register map as answered:
//   read  0..131       live values (122..131 read 0: the last 12-register read runs past 121)
//   read  211, 223     model identifier, high and low word (the variant byte is not reported)
//   read  259, 260     alarm state of output 1 and 2 (1: active)
//   read  409..592     configuration; 420, 421 and 424 read 0
//   write 409..416     parameter words 0..7, applied at once
//   write 417, 418     network address 1..255, speed code 0..3 (models with a serial module)
//   write 425..448     analogue outputs (models with analogue outputs)
//   write 255 = C0C0   opens the programming of the output module (digital output models);
//                      419, 422, 423, 449..592 are then written into a pending copy, which
//                      reads back as written; outside it those writes fail with exception 4
//   write 263 = 0      applies the pending copy (alarms restart in their power-on state)
//   write 8430         reset: code 0..6 in the high byte, 0 in the low byte
// Anything else: exception 1 (function), 2 (register) or 3 (value).
class SimInstrument {
public:
    static constexpr quint16 kConfigFirst = kRegParam;
    static constexpr quint16 kConfigLast = kRegConfigLast;
    static constexpr int kConfigWords = kConfigLast - kConfigFirst + 1;
    static constexpr quint16 kLiveLast = kRegLiveLast;

    // `speedCode` 0..3 (4800, 9600, 19200, 38400 baud); `seed` shifts the simulated load.
    SimInstrument(quint32 model, quint8 address, int speedCode, qint64 nowMs = 0, double seed = 0);

    quint32 model() const { return m_model; }
    // A configuration register that reads `value` whatever was written into it: an
    // instrument that does not take a setting.
    void holdRegister(quint16 reg, qint16 value) { m_held.insert(reg, value); }
    // Line address and speed, from parameter words 8 and 9.
    quint8 address() const;
    int speedCode() const;
    qint32 baudRate() const { return BaudForSpeedCode(speedCode()); }

    // 4800, 9600, 19200, 38400 for codes 0..3; 0 for any other code.
    static qint32 BaudForSpeedCode(int code);
    // The code of a baud rate; -1 when the instrument has no such speed.
    static int SpeedCodeForBaud(qint32 baud);

    struct Answer {
        QByteArray reply;           // the complete reply frame
        bool speedChanged = false;  // a write of 418: the reply already goes out at the new speed
        bool stateChanged = false;  // configuration, address, speed or counters changed
        QString note;               // what was done, for the frame log
    };
    // Carries out one request addressed to this instrument.
    Answer answer(const SimRequest& request, qint64 nowMs);

    // A register as a read request would return it; nullopt when it cannot be read.
    std::optional<qint16> readRegister(quint16 reg, qint64 nowMs);
    // Stored configuration word (409..592), pending copy excluded; 0 outside the block.
    qint16 configWord(quint16 reg) const;
    bool outputProgrammingOpen() const { return m_pending.has_value(); }

    SimLiveModel& live() { return m_live; }

    // Persistent state: model, configuration words, counters and extremes.
    QJsonObject saveState(qint64 nowMs);
    // Restores what saveState wrote; throws VoltarisError naming the bad field. The model in
    // the state must be this instrument's (compared on its low three bytes).
    void restoreState(const QJsonObject& state, qint64 nowMs);

private:
    using Image = std::array<qint16, kConfigWords>;

    static bool isOutputModuleRegister(quint16 reg);
    static bool isUnusedRegister(quint16 reg);
    Answer exception(const SimRequest& request, SimException code, const QString& note) const;
    Answer read(const SimRequest& request, qint64 nowMs);
    Answer write(const SimRequest& request, qint64 nowMs);
    qint16& word(Image& image, quint16 reg) { return image[reg - kConfigFirst]; }
    qint16 word(const Image& image, quint16 reg) const { return image[reg - kConfigFirst]; }
    void applyConfiguration(qint64 nowMs);

    quint32 m_model = 0;
    Image m_config{};
    std::optional<Image> m_pending;
    SimLiveModel m_live;
    QHash<quint16, qint16> m_held;
};

}  // namespace voltaris
