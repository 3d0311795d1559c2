#include "base/SafeFile.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "base/Errors.h"

namespace voltaris {

SafeFile::SafeFile(const QString& path) : m_path(path) {}

SafeFile::~SafeFile() {
    if (auto* save = dynamic_cast<QSaveFile*>(m_file.get()))
        save->cancelWriting();
}

bool SafeFile::open(OpenMode mode) {
    if (isOpen() || (mode & ReadWrite) != WriteOnly || (mode & Append)) {
        setErrorString(QStringLiteral("only a new write is possible"));
        return false;
    }
    const QFileInfo info(m_path);
    // A device or a pipe cannot be renamed over: it is written in place.
    m_direct = info.exists() && !info.isFile() && !info.isDir();
    if (m_direct)
        m_file = std::make_unique<QFile>(m_path);
    else
        m_file = std::make_unique<QSaveFile>(m_path);
    // Unbuffered, so a failed write is seen at the write and not lost in a later flush.
    if (!m_file->open(WriteOnly | Unbuffered)) {
        setErrorString(m_file->errorString());
        m_file.reset();
        return false;
    }
    m_failure.clear();
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 SafeFile::readData(char*, qint64) {
    return -1;
}

qint64 SafeFile::writeData(const char* data, qint64 size) {
    if (!m_file || !m_failure.isEmpty())
        return -1;
    qint64 done = 0;
    while (done < size) {
        const qint64 n = m_file->write(data + done, size - done);
        if (n <= 0) {
            m_failure = m_file->errorString();
            setErrorString(m_failure);
            return -1;
        }
        done += n;
    }
    return size;
}

void SafeFile::fail(const QString& reason) {
    QIODevice::close();
    if (auto* save = dynamic_cast<QSaveFile*>(m_file.get()))
        save->cancelWriting();
    m_file.reset();
    throw IoError(
        QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), reason));
}

void SafeFile::commit() {
    if (!m_file)
        fail(errorString().isEmpty() ? QStringLiteral("the file is not open") : errorString());
    if (!m_failure.isEmpty())
        fail(m_failure);
    if (m_direct) {
        m_file->close();
        if (m_file->error() != QFileDevice::NoError)
            fail(m_file->errorString());
    } else {
        // A file system may report a lack of space only when the data reach the disk.
        if (::fsync(m_file->handle()) != 0)
            fail(QString::fromLocal8Bit(strerror(errno)));
        auto* save = static_cast<QSaveFile*>(m_file.get());
        if (!save->commit())
            fail(save->errorString());
    }
    m_file.reset();
    QIODevice::close();
}

void WriteFileSafely(const QString& path, const QByteArray& bytes) {
    SafeFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError(QStringLiteral("Cannot write %1: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.write(bytes);
    file.commit();
}

}  // namespace voltaris
