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

std::optional<qint32> ImportConfiguration(Archive& archive, const QString& path,
                                          FieldProblems* refused) {
    CTraceCode& trace = g_Trace();
    trace.BugMessage(QStringLiteral("Nome file import: ") + path);
    const QString failed = QStringLiteral("Fallita operazione import da file ") + path;
    IdAllocation allocation(archive);
    bool accepted = false;
    FieldProblems problems;
    try {
        CGestioneMemMap memMap(archive);
        accepted = memMap.Import(path, allocation.id());
        problems = memMap.ImportProblems();
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
        QString text = FormatResString(811, path);
        if (!problems.isEmpty()) {
            text = QStringLiteral(
                       "The file %1 holds values the setup pages do not allow; "
                       "nothing was imported:")
                       .arg(path);
            for (const FieldProblem& p : problems)
                text += QStringLiteral("\n\r  ") + p.message();
        }
        if (refused)
            *refused = problems;
        UserMessages::current().show(UserMessages::Icon::Warning, ResString(301), text);
        allocation.release();
        return std::nullopt;
    }
    trace.BugMessage(
        QStringLiteral("Importata nuova configurazione; aggiornamento griglia configurazioni"));
    allocation.commit();
    return allocation.id();
}

QString ExportNameWarning(const QString& name) {
    const QString held = CGestioneMemMap::NameInFile(name);
    const bool replaced = QString::fromLatin1(name.toLatin1()) != name;
    const bool cut = name.toLatin1().size() > CGestioneMemMap::TextFieldSize;
    if (!replaced && !cut)
        return {};
    QString what;
    if (cut)
        what = QStringLiteral("cut to %1 characters").arg(CGestioneMemMap::TextFieldSize);
    if (replaced)
        what += (cut ? QStringLiteral(" and ") : QString()) +
                QStringLiteral("characters outside Latin-1 replaced by '?'");
    return QStringLiteral("Warning: the name is %1; the file holds \"%2\".").arg(what, held);
}

}  // namespace voltaris
