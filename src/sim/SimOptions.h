#pragma once

#include "sim/SimFault.h"
#include "sim/SimNetwork.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace voltaris {

// One --instrument MODEL[@ADDRESS][:BAUD].
struct SimInstrumentSpec {
    quint32 model = 0;
    int address = 1;
    int speedCode = 1;  // 9600 baud
};

// The command line of voltaris-sim.
struct SimOptions {
    enum class Mode { Pty, Tcp };
    Mode mode = Mode::Pty;
    quint16 tcpPort = 0;
    QString listenAddress = QStringLiteral("127.0.0.1");
    qint32 lineBaud = 0;  // TCP: the gateway's line speed; 0: the first instrument's
    QList<SimInstrumentSpec> instruments;
    bool auxiliary = false;
    SimTiming timing;
    QString stateFile;
    QString logFile;
    QList<SimFaultSpec> faults;
    // --hold REG=VALUE: registers every instrument reads as VALUE whatever is written.
    QList<QPair<quint16, qint16>> held;
    bool help = false;
};

// Parses the arguments after the program name. Throws VoltarisError with a message for
// the user on bad usage. Without --instrument the line has one KM5.1.x.R2.KX at address 1,
// 9600 baud; instruments without an address take the next free one from 1.
SimOptions ParseSimOptions(const QStringList& args);

// Parses MODEL[@ADDRESS][:BAUD]; a missing address is 0 (to be assigned).
SimInstrumentSpec ParseSimInstrument(const QString& text);

// The text of --help.
QString SimUsage();

}  // namespace voltaris
