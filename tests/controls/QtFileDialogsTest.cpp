#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "NextDialog.h"
#include "base/ResString.h"
#include "controls/QtFileDialogs.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// What the dialog's Save or Open button does (QFileDialog's own accept is not public).
void accept(QDialog* dialog) {
    dialog->accept();
}

}  // namespace

TEST(NameFilters, StringTableFiltersBecomeDialogFilters) {
    struct Case {
        QString filter;
        QStringList filters;
        QString suffix;
    };
    const Case cases[] = {
        {ResString(810), {"File ZEL (*.ZLA)"}, "ZLA"},
        {ResString(706), {"Images (*.bmp *.jpg *)"}, "bmp"},
        {"Text|*.txt|All files (*.*)|*.*", {"Text (*.txt)", "All files (*)"}, "txt"},
        {"Archive (*.tar.gz)|*.tar.gz", {"Archive (*.tar.gz)"}, "tar.gz"},
        {"All|*.*", {"All (*)"}, ""},
        {"Logs|log*.txt", {"Logs (log*.txt)"}, ""},
        {"|*.ZLA", {"*.ZLA (*.ZLA)"}, "ZLA"},
        {"Dangling|*.x|Odd", {"Dangling (*.x)"}, "x"},
        {"No patterns|", {}, ""},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameFilters(c.filter), c.filters) << c.filter.toStdString();
        EXPECT_EQ(DefaultSuffix(c.filter), c.suffix) << c.filter.toStdString();
    }
}

TEST(QtFileDialogs, SaveProposesTheNameAndNeverAsksAboutReplacing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath("Line A.ZLA");
    touch(existing);
    QtFileDialogs dialogs;

    test::onNextDialog<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Export file");
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d->nameFilters(), QStringList{"File ZEL (*.ZLA)"});
        // Both lists carry their labels, so a screen reader can name them.
        for (const char* list : {"lookInCombo", "fileTypeCombo"}) {
            bool named = false;
            for (QLabel* l : d->findChildren<QLabel*>())
                named = named || l->buddy() == d->findChild<QComboBox*>(list);
            EXPECT_TRUE(named) << list;
        }
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        // Replacing is asked by the command that writes: the dialog must not ask too.
        const test::RefuseDialogs<QMessageBox> noQuestion;
        accept(d);
    });
    const QString chosen = dialogs.saveFileName("Export file", existing, ResString(810));
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());

    // A name typed without extension gets the filter's.
    test::onNextDialog<QFileDialog>([&](QFileDialog* d) {
        d->selectFile("Line B");
        accept(d);
    });
    const QString typed = dialogs.saveFileName("Export file", dir.path(), ResString(810));
    EXPECT_EQ(QFileInfo(typed).fileName(), "Line B.ZLA");
}

TEST(QtFileDialogs, OpenReturnsTheChosenFileOrEmptyWhenCancelled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("in.ZLA");
    touch(file);
    QtFileDialogs dialogs;

    test::onNextDialog<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        d->selectFile("in.ZLA");
        accept(d);
    });
    // The folder as the import proposes it: a pattern in place of the file name.
    const QString chosen =
        dialogs.openFileName("Import file", dir.filePath("*.ZLA"), ResString(810));
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(file).canonicalFilePath());

    test::onNextDialog<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(dialogs.openFileName("Import file", dir.path(), ResString(810)), "");
}

// The dialog shows files through a file system model with its own filter flags, which carry no
// case sensitivity: "*.ZLA" also lists "line.zla" written by another program.
TEST(QtFileDialogs, TheExchangeFilterMatchesEitherCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    touch(dir.filePath("upper.ZLA"));
    touch(dir.filePath("lower.zla"));
    touch(dir.filePath("other.txt"));
    QFileDialog dialog;
    QFileSystemModel model;
    model.setFilter(dialog.filter());
    model.setNameFilterDisables(false);
    model.setNameFilters({"*.ZLA"});
    QSignalSpy loaded(&model, &QFileSystemModel::directoryLoaded);
    const QModelIndex root = model.setRootPath(dir.path());
    ASSERT_TRUE(loaded.wait(5000));
    QStringList shown;
    for (int r = 0; r < model.rowCount(root); ++r)
        shown << model.fileName(model.index(r, 0, root));
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"lower.zla", "upper.ZLA"}));
}
