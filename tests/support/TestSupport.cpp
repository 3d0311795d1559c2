#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace voltaris::test {

QString dataPath(const QString& name) {
    return QDir(qEnvironmentVariable("VOLTARIS_TEST_DATA")).filePath(name);
}

TempDir::TempDir() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace voltaris::test
