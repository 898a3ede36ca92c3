#include "platform/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QStringList QtFileDialog::NameFilters(const std::vector<FileFilter>& filters)
{
    // Qt takes the patterns from the last parenthesised part of a filter; the descriptions hold
    // comma-separated lists Qt would read as one pattern, so the real list follows them and is
    // hidden again by HideNameFilterDetails.
    QStringList result;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns)
            patterns << QString::fromStdString(pattern);
        result << QStringLiteral("%1 (%2)")
                      .arg(QString::fromStdString(filter.description), patterns.join(QLatin1Char(' ')));
    }
    return result;
}

void QtFileDialog::Configure(QFileDialog& dialog, const std::string& title,
                             const std::vector<FileFilter>& filters, const std::string& initialPath)
{
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog shows the descriptions exactly; desktop dialogs cut them at the parenthesis.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(NameFilters(filters));

    // The path may name a folder or a file; a file is preselected in its folder. Anything
    // else opens the current folder.
    const QString path = QString::fromStdString(initialPath);
    const QFileInfo info(path);
    if (path.isEmpty()) {
        dialog.setDirectory(QDir::currentPath());
    } else if (info.isDir()) {
        dialog.setDirectory(info.absoluteFilePath());
    } else if (info.absoluteDir().exists()) {
        dialog.setDirectory(info.absolutePath());
        if (info.exists())
            dialog.selectFile(info.fileName());
    } else {
        dialog.setDirectory(QDir::currentPath());
    }
}

std::string QtFileDialog::ShowOpen(const std::string& title, const std::vector<FileFilter>& filters,
                                   const std::string& initialPath)
{
    QFileDialog dialog(m_parent);
    Configure(dialog, title, filters, initialPath);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.first().toStdString();
}
