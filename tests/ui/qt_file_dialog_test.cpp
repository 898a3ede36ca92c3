// The Qt file dialog: the filter descriptions it shows, the files each filter lets through, and
// where it opens.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <set>

#include "platform/qt_file_dialog.h"
#include "tests/ui/test_application.h"

namespace {

const std::vector<FileFilter> kFilters = {
    {"Image Files (*.eeprom,*.binary,*.eep,*.bin)", {"*.eeprom", "*.binary", "*.eep", "*.bin"}},
    {"Eeprom Files (*.eeprom,*.eep)", {"*.eeprom", "*.eep"}},
    {"Binary Files (*.binary,*.bin)", {"*.binary", "*.bin"}},
    {"All Files (*.*)", {"*"}}};

class QtFileDialogTest : public ::testing::Test {
protected:
    QtFileDialogTest()
    {
        EnsureTestApplication();
        for (const char* name : {"a.eeprom", "b.binary", "c.eep", "d.bin", "e.txt", "Makefile"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            file.open(QIODevice::WriteOnly);
        }
    }

    // The file names the dialog lists in its folder under the given filter.
    std::set<std::string> Listed(QFileDialog& dialog, int filter)
    {
        dialog.selectNameFilter(dialog.nameFilters().at(filter));
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        std::set<std::string> names;
        if (!view)
            return names;
        // The folder is read on a worker thread; wait until the listing has settled.
        QTest::qWait(200);
        (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 3000);
        QTest::qWait(100);
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names.insert(view->model()->index(row, 0, root).data().toString().toStdString());
        return names;
    }

    QTemporaryDir dir;
};

TEST_F(QtFileDialogTest, ShowsTheDescriptionsExactlyAndInOrder)
{
    QFileDialog dialog;
    QtFileDialog::Configure(dialog, "Select Download File", kFilters, "");
    dialog.show();
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(combo->itemText(i).toStdString(), kFilters[i].description);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(dialog.windowTitle(), "Select Download File");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}

TEST_F(QtFileDialogTest, EachFilterListsItsFiles)
{
    QFileDialog dialog;
    QtFileDialog::Configure(dialog, "t", kFilters, dir.path().toStdString());
    dialog.show();
    using Names = std::set<std::string>;
    EXPECT_EQ(Listed(dialog, 0), (Names{"a.eeprom", "b.binary", "c.eep", "d.bin"}));
    EXPECT_EQ(Listed(dialog, 1), (Names{"a.eeprom", "c.eep"}));
    EXPECT_EQ(Listed(dialog, 2), (Names{"b.binary", "d.bin"}));
    EXPECT_EQ(Listed(dialog, 3), (Names{"a.eeprom", "b.binary", "c.eep", "d.bin", "e.txt", "Makefile"}));
}

TEST_F(QtFileDialogTest, OpensAtAFolderOrPreselectsAFile)
{
    const QString file = dir.filePath(QStringLiteral("a.eeprom"));
    {
        QFileDialog dialog;
        QtFileDialog::Configure(dialog, "t", kFilters, file.toStdString());
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(dialog.selectedFiles().value(0), file);
    }
    {
        QFileDialog dialog;
        QtFileDialog::Configure(dialog, "t", kFilters, dir.path().toStdString());
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
    }
    {
        QFileDialog dialog;
        QtFileDialog::Configure(dialog, "t", kFilters, " no such folder/x ");
        EXPECT_EQ(dialog.directory().absolutePath(), QDir::currentPath());
    }
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
        if (accept)
            modal->accept();
        else
            modal->reject();
    });
    poll->start(20);
}

TEST_F(QtFileDialogTest, CancelGivesAnEmptyName)
{
    QtFileDialog files;
    AnswerNextDialog(false);
    EXPECT_EQ(files.ShowOpen("t", kFilters, dir.filePath(QStringLiteral("a.eeprom")).toStdString()), "");
}

TEST_F(QtFileDialogTest, AcceptGivesTheChosenPath)
{
    QtFileDialog files;
    const QString file = dir.filePath(QStringLiteral("c.eep"));
    AnswerNextDialog(true);
    EXPECT_EQ(files.ShowOpen("t", kFilters, file.toStdString()), file.toStdString());
}

}  // namespace
