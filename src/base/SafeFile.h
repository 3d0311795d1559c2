#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

class QFileDevice;

namespace voltaris {

// A file written in full or not at all. A new or regular file is written to a temporary file
// in its folder and renamed over the old one by commit(); a target that is not a regular file
// (a device, a pipe) is written directly. Every write, the flush and the close are checked.
class SafeFile : public QIODevice {
public:
    explicit SafeFile(const QString& path);
    // Discards what was written when commit() was not reached: the old file stays as it was.
    ~SafeFile() override;

    QString fileName() const { return m_path; }
    // Only QIODevice::WriteOnly; false with errorString() when the file cannot be created.
    bool open(OpenMode mode) override;
    // Puts the written bytes in place; throws IoError naming the file and the first failure.
    void commit();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    [[noreturn]] void fail(const QString& reason);

    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    bool m_direct = false;
    QString m_failure;
};

// Replaces `path` with `bytes` through a SafeFile; IoError naming the file when it fails.
void WriteFileSafely(const QString& path, const QByteArray& bytes);

}  // namespace voltaris
