// The Qt file dialog: the filter descriptions it shows, the files each filter lets through,
// where it opens, and what it answers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <set>

#include "platform/qt_file_dialog.h"
#include "tests/ui/frm_pellik_fixture.h"

namespace {

class QtFileDialogTest : public ::testing::Test {
protected:
    QtFileDialogTest()
    {
        EnsureTestApplication();
        for (const char* name : {"a.eeprom", "b.binary", "c.eep", "d.bin", "e.txt", "Makefile"})
            QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    }
    std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    // The file names the dialog lists in its folder under the given filter. The folder is read on
    // a worker thread and a filter applies on a later turn of the event loop: the listing is taken
    // once it shows the expected names, or as it stands after a few seconds.
    static std::set<std::string> Listed(QFileDialog& dialog, int filter, const std::set<std::string>& expected)
    {
        dialog.selectNameFilter(dialog.nameFilters().at(filter));
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        std::set<std::string> names;
        if (!view)
            return names;
        (void)QTest::qWaitFor([&] {
            const QModelIndex root = view->rootIndex();
            names.clear();
            for (int row = 0; row < view->model()->rowCount(root); ++row)
                names.insert(view->model()->index(row, 0, root).data().toString().toStdString());
            return names == expected;
        }, 3000);
        return names;
    }

    QTemporaryDir dir;
};

TEST_F(QtFileDialogTest, ShowsTheDescriptionsExactlyAndEachFilterListsItsFiles)
{
    QFileDialog dialog;
    QtFileDialog::Configure(dialog, "Select Download File", kImageFilters, dir.path().toStdString());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Select Download File");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(combo->itemText(i).toStdString(), kImageFilters[i].description);
    EXPECT_EQ(combo->currentIndex(), 0);

    const std::pair<int, std::set<std::string>> listings[] = {
        {0, {"a.eeprom", "b.binary", "c.eep", "d.bin"}},
        {1, {"a.eeprom", "c.eep"}},
        {2, {"b.binary", "d.bin"}},
        {3, {"a.eeprom", "b.binary", "c.eep", "d.bin", "e.txt", "Makefile"}}};
    for (const auto& [filter, names] : listings)
        EXPECT_EQ(Listed(dialog, filter, names), names) << "filter " << filter;
}

TEST_F(QtFileDialogTest, OpensAtAFolderOrPreselectsAFile)
{
    const QString folder = QDir(dir.path()).absolutePath();
    const std::pair<std::string, QString> cases[] = {
        {Path("a.eeprom"), folder}, {dir.path().toStdString(), folder}, {" no such folder/x ", QDir::currentPath()}};
    for (const auto& [initialPath, opensAt] : cases) {
        QFileDialog dialog;
        QtFileDialog::Configure(dialog, "t", kImageFilters, initialPath);
        EXPECT_EQ(dialog.directory().absolutePath(), opensAt) << initialPath;
    }
    QFileDialog dialog;
    QtFileDialog::Configure(dialog, "t", kImageFilters, Path("a.eeprom"));
    EXPECT_EQ(dialog.selectedFiles().value(0).toStdString(), Path("a.eeprom"));
}

// Answers the next modal dialog once it is up.
void AnswerNextDialog(bool accept)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, accept] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal)
            return;
        poll->deleteLater();
        poll->stop();
        accept ? modal->accept() : modal->reject();
    });
    poll->start(20);
}

TEST_F(QtFileDialogTest, CancelGivesAnEmptyNameAndAcceptTheChosenPath)
{
    QtFileDialog files;
    AnswerNextDialog(false);
    EXPECT_EQ(files.ShowOpen("t", kImageFilters, Path("a.eeprom")), "");
    AnswerNextDialog(true);
    EXPECT_EQ(files.ShowOpen("t", kImageFilters, Path("c.eep")), Path("c.eep"));
}

}  // namespace
