#pragma once

#include <QString>

// Texts for the user about a port that does not open or goes away; each says what to do.
namespace voltaris::PortMessages {

// Message 209 (in use or not present), with the port named.
QString NotAvailable(const QString& port);
// Message 209, with the port named and said not to exist.
QString NotFound(const QString& port);
// Message 209, with the program holding the lock file named.
QString Locked(const QString& port, qint64 pid, const QString& lockFile);
QString Locked(const QString& port, const QString& lockFile);
QString PermissionDenied(const QString& port);
QString ConnectionLost(const QString& port);
QString ClosedAtOtherEnd(const QString& port);
QString CannotConnect(const QString& port, const QString& detail);
QString BadPortName(const QString& name);
QString CommunicationError(const QString& port, const QString& detail);
QString TelephoneUnavailable();

}  // namespace voltaris::PortMessages
