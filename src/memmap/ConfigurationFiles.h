#pragma once

#include <QString>
#include <optional>

#include "model/Validation.h"

namespace voltaris {

class Archive;

// The archive side of the two file commands, without dialogs; the desktop program and the
// command line call them after the user has chosen the file.

// "Export programma " + the configuration's name: the first trace line of an export, before
// the file is chosen.
void TraceExportStart(const QString& nomeProgramma);

// Traces "Nome file export: " + path, converts configuration `id` and writes the exchange
// file. Nothing is written when the conversion fails, and a previous file at `path` stays
// as it was unless the new one is complete. Errors name the file: IoError (archive, file),
// AssertFailed (a failed check, already reported); any other conversion error comes back
// as an IoError with its reason.
void ExportConfiguration(Archive& archive, qint32 id, const QString& path);

// Traces "Nome file import: " + path, allocates an id and imports the file into it as a
// new configuration with the name stored in the file; returns the id. A file refused by
// the memory map (foreign, short, longer, empty, or content it cannot convert) gives
// nullopt after the trace "Fallita operazione import da file " + path and the warning of
// resource 811; a file of ours whose content ValidateConfiguration refuses gives nullopt
// after the same trace and a warning naming every offending field, which also go to
// `refused` when given. On refusal and on every error the id is released and the archive
// is as it was; errors (IoError for a file that cannot be read or a database failure) are
// rethrown.
std::optional<qint32> ImportConfiguration(Archive& archive, const QString& path,
                                          FieldProblems* refused = nullptr);

// What an export of a configuration named `name` warns about: empty when the file holds
// the name as it is, else a text saying it is cut or has characters replaced and what the
// file will hold.
QString ExportNameWarning(const QString& name);

}  // namespace voltaris
