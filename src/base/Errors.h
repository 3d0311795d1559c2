#pragma once

#include <QString>
#include <stdexcept>

namespace voltaris {

// Base of every error that travels to the command that started the work. The text is
// meant for the user: it names what failed (a file, a table, a field) and why.
class VoltarisError : public std::runtime_error {
public:
    explicit VoltarisError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A failed check (BugAssert): already logged and reported; the command in progress ends.
class AssertFailed : public VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// A file, database or component error: the command reports it and the program goes on.
class IoError : public VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// An index outside the range of an indexed property or a block.
class IndexError : public VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// An error of one of the program's shared routines, numbered in the program's own range:
// kObjectErrorBase + 13000 and up for the utilities, kObjectErrorBase + 29000 + the
// platform's code for a refused platform call. `source` names the program and the area
// ("VoltarisEng.Utility", "VoltarisEng.Windows").
class ProgramError : public VoltarisError {
public:
    static constexpr qint32 kObjectErrorBase = qint32(0x80040000u);

    ProgramError(qint32 number, const QString& source, const QString& message)
        : VoltarisError(message), m_number(number), m_source(source) {}
    qint32 number() const { return m_number; }
    const QString& source() const { return m_source; }

private:
    qint32 m_number;
    QString m_source;
};

}  // namespace voltaris
