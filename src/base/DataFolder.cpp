#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "Errors.h"

namespace voltaris {

namespace {
QString g_dataFolder;

bool isWritableDir(const QString& dir) {
    QFileInfo fi(dir);
    return fi.isDir() && fi.isWritable();
}
}  // namespace

QString DataFolder::resolve(const QString& home, const QString& executableDir) {
    QString dir = home;
    if (dir.isEmpty())
        dir = qEnvironmentVariable("VOLTARIS_HOME");
    if (dir.isEmpty() && !executableDir.isEmpty() && isWritableDir(executableDir))
        dir = executableDir;
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share/Voltaris");
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!QDir().mkpath(dir))
        throw IoError(QStringLiteral("Cannot create the data folder %1").arg(dir));
    // A read-only folder is accepted: reading the archive needs no write, and a command that
    // changes it reports the refusal itself.
    g_dataFolder = dir;
    return dir;
}

QString DataFolder::path() {
    return g_dataFolder;
}

void DataFolder::set(const QString& dir) {
    g_dataFolder = dir;
}

QString DataFolder::file(const QString& name) {
    return QDir(g_dataFolder).filePath(name);
}

QStringList DataFolder::templateCandidates(const QString& executableDir, const QString& name) {
    QStringList out;
    if (!g_dataFolder.isEmpty())
        out << QDir(g_dataFolder).filePath(name);
    if (!executableDir.isEmpty()) {
        out << QDir(executableDir).filePath(name);
        out << QDir::cleanPath(executableDir + QStringLiteral("/../share/voltaris/") + name);
    }
    out.removeDuplicates();
    return out;
}

}  // namespace voltaris
