#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace voltaris {

// File dialogs go through this one interface, like the message boxes: the desktop program
// shows a dialog, tests answer from a queue. A filter is written as in the string table:
// pairs of description and patterns separated by '|' ("File ZEL (*.ZLA)|*.ZLA").
//
// Neither call asks whether to replace an existing file: a command that writes to the path
// asks that itself through UserMessages, so the question is asked once and a test can answer
// it.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // The existing file the user chose, starting in `folder` (a folder, or a path whose file
    // name part is a pattern or a proposed name); empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    // The path the user chose to write, proposing `proposedPath`; empty when cancelled.
    virtual QString saveFileName(const QString& title, const QString& proposedPath,
                                 const QString& filter) = 0;

    // The dialogs the program uses; never null (one that cancels every request until set).
    static FileDialogs& current();
    static void setCurrent(FileDialogs* dialogs);
};

// Answers requests from a queue (an empty answer is a cancel; an empty queue cancels) and
// keeps every request; for tests.
class RecordingFileDialogs : public FileDialogs {
public:
    enum class Kind { Open, Save };
    struct Request {
        Kind kind;
        QString title;
        QString path;  // the folder of an open, the proposed path of a save
        QString filter;
    };

    void enqueue(const QString& answer) { m_answers.push_back(answer); }
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& proposedPath,
                         const QString& filter) override;
    const QList<Request>& requests() const { return m_requests; }
    // Answers not used yet.
    const QStringList& pending() const { return m_answers; }

private:
    QString answer(Kind kind, const QString& title, const QString& path, const QString& filter);

    QStringList m_answers;
    QList<Request> m_requests;
};

// Installs dialogs for the lifetime of the scope and puts the previous ones back.
class ScopedFileDialogs {
public:
    explicit ScopedFileDialogs(FileDialogs* dialogs) : m_previous(&FileDialogs::current()) {
        FileDialogs::setCurrent(dialogs);
    }
    ~ScopedFileDialogs() { FileDialogs::setCurrent(m_previous); }
    ScopedFileDialogs(const ScopedFileDialogs&) = delete;
    ScopedFileDialogs& operator=(const ScopedFileDialogs&) = delete;

private:
    FileDialogs* m_previous;
};

}  // namespace voltaris
