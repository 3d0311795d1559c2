#include "FileDialogs.h"

namespace voltaris {

namespace {
// Before a front end installs its dialogs, every request is cancelled.
class CancellingFileDialogs : public FileDialogs {
public:
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};
CancellingFileDialogs g_cancelling;
FileDialogs* g_current = &g_cancelling;
}  // namespace

FileDialogs& FileDialogs::current() {
    return *g_current;
}

void FileDialogs::setCurrent(FileDialogs* dialogs) {
    g_current = dialogs ? dialogs : &g_cancelling;
}

QString RecordingFileDialogs::openFileName(const QString& title, const QString& folder,
                                           const QString& filter) {
    return answer(Kind::Open, title, folder, filter);
}

QString RecordingFileDialogs::saveFileName(const QString& title, const QString& proposedPath,
                                           const QString& filter) {
    return answer(Kind::Save, title, proposedPath, filter);
}

QString RecordingFileDialogs::answer(Kind kind, const QString& title, const QString& path,
                                     const QString& filter) {
    m_requests.push_back({kind, title, path, filter});
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}

}  // namespace voltaris
