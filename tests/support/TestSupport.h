#pragma once

#include <QString>
#include <QTemporaryDir>

namespace voltaris::test {

// Folder of the checked-in fixtures (tests/data).
QString dataPath(const QString& name);

// A fresh, empty folder removed at the end of the test.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Reads a whole file as bytes (empty when missing).
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

}  // namespace voltaris::test
