#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>

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

// A tmpfs of `kilobytes` mounted on a fresh folder for the life of the object, so a test can
// run out of space for real. ok() is false (GTEST_SKIP) where mounting is not permitted.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kilobytes = 64);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool ok() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.file(name); }
    // Takes every free byte with a filler file.
    void fillUp() const;

private:
    TempDir m_dir;
    bool m_mounted = false;
};

// `source` seen read-only on a fresh folder (a read-only bind mount) for the life of the
// object: writes fail there even for root. ok() is false where mounting is not permitted.
class ReadOnlyView {
public:
    explicit ReadOnlyView(const QString& source);
    ~ReadOnlyView();
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;
    bool ok() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    TempDir m_dir;
    bool m_mounted = false;
};

// A device like /dev/full (every write fails for lack of space) made as `name` in `dir`, so a
// writer that wrongly renames over its target replaces this node, not the system's. Empty
// where device nodes cannot be made.
QString MakeFullDevice(const TempDir& dir, const QString& name = QStringLiteral("full"));

// Reads a whole file as bytes (empty when missing).
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// The application object the event loop, ports, sockets and processes need, made once for
// the process.
void EnsureCoreApp();

// Points the settings store at `file` for the life of the object, then back at the default.
class ScopedSettingsFile {
public:
    explicit ScopedSettingsFile(const QString& file);
    ~ScopedSettingsFile();
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;
};

// Replays every file of the fuzz corpus folder `dir` (in name order) through `entry`, the
// fuzzer's own entry, which returns the invariant the seed broke (empty when none). A
// broken invariant fails the test naming the seed; an empty corpus fails too. Returns the
// number of seeds.
int ReplayCorpus(const QString& dir,
                 const std::function<QString(const uint8_t* data, size_t size)>& entry);

}  // namespace voltaris::test
