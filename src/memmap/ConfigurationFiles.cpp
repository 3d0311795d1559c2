#include "memmap/ConfigurationFiles.h"

#include "archive/Archive.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "base/UserMessages.h"
#include "memmap/CGestioneMemMap.h"

namespace voltaris {

void TraceExportStart(const QString& nomeProgramma) {
    g_Trace().BugMessage(QStringLiteral("Export programma ") + nomeProgramma);
}

void ExportConfiguration(Archive& archive, qint32 id, const QString& path) {
    g_Trace().BugMessage(QStringLiteral("Nome file export: ") + path);
    CGestioneMemMap memMap(archive);
    try {
        memMap.Export(path, id);
    } catch (const IoError&) {
        throw;
    } catch (const AssertFailed&) {
        throw;
    } catch (const VoltarisError& e) {
        // An index or overflow error of the conversion: the configuration itself is at fault.
        throw IoError(QStringLiteral("Cannot export configuration %1 to %2: %3")
                          .arg(id)
                          .arg(path, e.message()));
    }
}

std::optional<qint32> ImportConfiguration(Archive& archive, const QString& path) {
    CTraceCode& trace = g_Trace();
    trace.BugMessage(QStringLiteral("Nome file import: ") + path);
    const QString failed = QStringLiteral("Fallita operazione import da file ") + path;
    IdAllocation allocation(archive);
    bool accepted = false;
    try {
        CGestioneMemMap memMap(archive);
        accepted = memMap.Import(path, allocation.id());
    } catch (const AssertFailed&) {
        // A check of the conversion failed on the file's content (already reported): the
        // file is refused like a foreign one.
        accepted = false;
    } catch (const VoltarisError&) {
        trace.BugMessage(failed);
        throw;  // the allocation releases the id
    }
    if (!accepted) {
        trace.BugMessage(failed);
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(301),
                                     FormatResString(811, path));
        allocation.release();
        return std::nullopt;
    }
    trace.BugMessage(
        QStringLiteral("Importata nuova configurazione; aggiornamento griglia configurazioni"));
    allocation.commit();
    return allocation.id();
}

}  // namespace voltaris
