#include "comm/PortMessages.h"

#include "base/ResString.h"

namespace voltaris::PortMessages {

namespace {

// Resource texts break lines with LF then CR.
const QString kBreak = QStringLiteral("\n\r");

QString with209(const QString& detail) {
    return ResString(209) + kBreak + detail;
}

}  // namespace

QString NotAvailable(const QString& port) {
    return with209(FormatResString(3002, port));
}

QString NotFound(const QString& port) {
    return NotAvailable(port) + kBreak + QStringLiteral("%1 does not exist.").arg(port);
}

QString Locked(const QString& port, qint64 pid, const QString& lockFile) {
    return with209(FormatResString(3001, port, QString::number(pid), lockFile));
}

QString Locked(const QString& port, const QString& lockFile) {
    return with209(FormatResString(3009, port, lockFile));
}

QString PermissionDenied(const QString& port) {
    return FormatResString(3000, port);
}

QString ConnectionLost(const QString& port) {
    return FormatResString(3003, port);
}

QString ClosedAtOtherEnd(const QString& port) {
    return FormatResString(3004, port);
}

QString CannotConnect(const QString& port, const QString& detail) {
    return with209(FormatResString(3006, port, detail));
}

QString BadPortName(const QString& name) {
    return FormatResString(3007, name);
}

QString CommunicationError(const QString& port, const QString& detail) {
    return FormatResString(3008, port, detail);
}

QString TelephoneUnavailable() {
    return ResString(3005);
}

}  // namespace voltaris::PortMessages
