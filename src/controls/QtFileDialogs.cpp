#include "controls/QtFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>

namespace voltaris::controls {

namespace {

QWidget* dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QStringList patternsOf(const QString& patterns) {
    QStringList out;
    for (QString p : patterns.split(u';', Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*"))
            p = QStringLiteral("*");
        if (!p.isEmpty() && !out.contains(p))
            out << p;
    }
    return out;
}

// A dialog of the toolkit with the common settings; `path` may end in a file name or a
// pattern (the proposed name, or "*.ZLA" to show in an open dialog).
void prepare(QFileDialog& dialog, const QString& path, const QString& filter) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The toolkit's dialog leaves its two lists without their labels as buddies, and a screen
    // reader knows a list only by its buddy label.
    for (const auto& [label, list] :
         {std::pair{"lookInLabel", "lookInCombo"}, std::pair{"fileTypeLabel", "fileTypeCombo"}})
        if (auto* l = dialog.findChild<QLabel*>(QLatin1String(label)))
            if (auto* c = dialog.findChild<QComboBox*>(QLatin1String(list)))
                l->setBuddy(c);
    const QStringList filters = NameFilters(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.isDir()) {
        dialog.setDirectory(info.absoluteFilePath());
        return;
    }
    dialog.setDirectory(info.absolutePath());
    const QString name = info.fileName();
    if (!name.contains(u'*') && !name.contains(u'?'))
        dialog.selectFile(name);
}

QString run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QStringList NameFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = patternsOf(parts.at(i + 1));
        if (patterns.isEmpty())
            continue;
        static const QRegularExpression trailingList(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        QString description = parts.at(i).trimmed();
        description.remove(trailingList);
        if (description.isEmpty())
            description = patterns.join(u' ');
        out << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out;
}

QString DefaultSuffix(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    if (parts.size() < 2)
        return {};
    const QStringList patterns = patternsOf(parts.at(1));
    if (patterns.isEmpty())
        return {};
    static const QRegularExpression plain(QStringLiteral("^\\*\\.([^*?\\[\\]]+)$"));
    const QRegularExpressionMatch m = plain.match(patterns.first());
    return m.hasMatch() ? m.captured(1) : QString();
}

QString QtFileDialogs::openFileName(const QString& title, const QString& folder,
                                    const QString& filter) {
    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, folder, filter);
    return run(dialog);
}

QString QtFileDialogs::saveFileName(const QString& title, const QString& proposedPath,
                                    const QString& filter) {
    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DefaultSuffix(filter));
    prepare(dialog, proposedPath, filter);
    return run(dialog);
}

}  // namespace voltaris::controls
