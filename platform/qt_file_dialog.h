// The file-open dialog on QFileDialog: existing files only, the given filters in order, opening
// at the given path.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

class QFileDialog;

class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    std::string ShowOpen(const std::string& title, const std::vector<FileFilter>& filters,
                         const std::string& initialPath) override;

    // Sets up a dialog as ShowOpen shows it; apart so tests can look at it without a modal loop.
    static void Configure(QFileDialog& dialog, const std::string& title,
                          const std::vector<FileFilter>& filters, const std::string& initialPath);
    // Filter strings that show each description as given and match its patterns.
    static QStringList NameFilters(const std::vector<FileFilter>& filters);

private:
    QPointer<QWidget> m_parent;
};
