#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <stdexcept>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "base/SettingsStore.h"

namespace voltaris::test {

QString dataPath(const QString& name) {
    return QDir(qEnvironmentVariable("VOLTARIS_TEST_DATA")).filePath(name);
}

TempDir::TempDir() {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

SmallFileSystem::SmallFileSystem(int kilobytes) {
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                        options.constData()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallFileSystem::fillUp() const {
    QFile f(file(QStringLiteral("filler")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw std::runtime_error("cannot create the filler file");
    const QByteArray block(4096, 'x');
    while (f.write(block) == block.size()) {
    }
    while (f.write(block.constData(), 1) == 1) {
    }
}

ReadOnlyView::ReadOnlyView(const QString& source) {
    const QByteArray target = QFile::encodeName(m_dir.path());
    if (::mount(QFile::encodeName(source).constData(), target.constData(), nullptr, MS_BIND,
                nullptr) != 0)
        return;
    m_mounted = true;
    if (::mount(nullptr, target.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) !=
        0) {
        ::umount2(target.constData(), MNT_DETACH);
        m_mounted = false;
    }
}

ReadOnlyView::~ReadOnlyView() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString MakeFullDevice(const TempDir& dir, const QString& name) {
    const QString path = dir.file(name);
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        return {};
    return path;
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

void EnsureCoreApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "voltaris_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: objects of other statics may still post events at exit.
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

ScopedSettingsFile::ScopedSettingsFile(const QString& file) {
    SettingsStore::setFileOverride(file);
}

ScopedSettingsFile::~ScopedSettingsFile() {
    SettingsStore::setFileOverride(QString());
}

int ReplayCorpus(const QString& dir,
                 const std::function<QString(const uint8_t* data, size_t size)>& entry) {
    const QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
    EXPECT_FALSE(files.isEmpty()) << "empty corpus " << dir.toStdString();
    for (const QString& name : files) {
        const QByteArray data = readFile(QDir(dir).filePath(name));
        const QString violation =
            entry(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        EXPECT_TRUE(violation.isEmpty()) << name.toStdString() << ": " << violation.toStdString();
    }
    return int(files.size());
}

}  // namespace voltaris::test
