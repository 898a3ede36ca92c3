// The Browse button: the dialog it asks for and what the file box shows afterwards.
#include <QLineEdit>

#include "tests/ui/frm_pellik_fixture.h"

namespace {

class BrowseTest : public FrmPellikTest {
protected:
    QLineEdit* FileBox() { return Child<QLineEdit>("txtFilename"); }
    void Browse(const std::string& answer)
    {
        dialog.answers.push_back(answer);
        Click("btnBrowse");
    }
};

TEST_F(BrowseTest, AsksForAnImageFileStartingAtTheBoxTextAsTyped)
{
    Open();
    FileBox()->setText(" /tmp/img/a.eeprom ");
    Browse("");
    ASSERT_EQ(dialog.calls.size(), 1u);
    const ScriptedDialog::Call& call = dialog.calls[0];
    EXPECT_EQ(call.title, "Select Download File");
    EXPECT_EQ(call.initialPath, " /tmp/img/a.eeprom ");
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"Image Files (*.eeprom,*.binary,*.eep,*.bin)", {"*.eeprom", "*.binary", "*.eep", "*.bin"}},
        {"Eeprom Files (*.eeprom,*.eep)", {"*.eeprom", "*.eep"}},
        {"Binary Files (*.binary,*.bin)", {"*.binary", "*.bin"}},
        {"All Files (*.*)", {"*"}}};
    ASSERT_EQ(call.filters.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(call.filters[i].description, expected[i].first);
        EXPECT_EQ(call.filters[i].patterns, expected[i].second);
    }
}

TEST_F(BrowseTest, ChosenFileGoesIntoTheBoxAndTheState)
{
    Open();
    Browse("/home/u/blink.binary");
    EXPECT_EQ(FileBox()->text(), "/home/u/blink.binary");
    EXPECT_EQ(form.state.txtFilename, "/home/u/blink.binary");
}

TEST_F(BrowseTest, CancelWithNothingChosenBeforeKeepsTheBox)
{
    Open();
    FileBox()->setText("typed.eeprom");
    Browse("");
    EXPECT_EQ(FileBox()->text(), "typed.eeprom");
}

TEST_F(BrowseTest, CancelAfterAChoiceBringsTheChoiceBack)
{
    Open();
    Browse("/tmp/first.eeprom");
    FileBox()->setText("other.bin");
    Browse("");
    EXPECT_EQ(FileBox()->text(), "/tmp/first.eeprom");
    EXPECT_EQ(dialog.calls.back().initialPath, "other.bin");
}

TEST_F(BrowseTest, ChosenNameLosesOuterSpacesOnly)
{
    Open();
    Browse("  /tmp/my image.eep  ");
    EXPECT_EQ(FileBox()->text(), "/tmp/my image.eep");
}

TEST_F(BrowseTest, TheLastChoiceBelongsToTheWindow)
{
    Open();
    Browse("/tmp/first.eeprom");
    m_window.reset();
    Open();
    FileBox()->setText("kept");
    Browse("");
    EXPECT_EQ(FileBox()->text(), "kept");
}

}  // namespace
