// The Browse button: the dialog it asks for and what the file box shows afterwards.
#include "tests/ui/frm_pellik_fixture.h"

namespace {

class BrowseTest : public FrmPellikTest {
protected:
    void Browse(const std::string& answer)
    {
        dialog.answers.push_back(answer);
        Click("btnBrowse");
    }
    void Type(const char* text) { Child<QLineEdit>("txtFilename")->setText(text); }
};

TEST_F(BrowseTest, AsksForAnImageFileStartingAtTheBoxTextAsTyped)
{
    Open();
    Type(" /tmp/img/a.eeprom ");
    Browse("");
    EXPECT_EQ(dialog.calls, 1);
    EXPECT_EQ(dialog.lastTitle, "Select Download File");
    EXPECT_EQ(dialog.lastPath, " /tmp/img/a.eeprom ");
    EXPECT_TRUE(dialog.lastFilters == kImageFilters);
    EXPECT_EQ(Text("txtFilename"), " /tmp/img/a.eeprom ");  // nothing chosen yet: a cancel keeps the box
}

TEST_F(BrowseTest, TheChoiceLosesOuterSpacesAndACancelBringsItBackForThisWindowOnly)
{
    Open();
    Browse("  /tmp/my image.eep  ");
    EXPECT_EQ(Text("txtFilename"), "/tmp/my image.eep");
    EXPECT_EQ(model.State().txtFilename, "/tmp/my image.eep");
    Type("other.bin");
    Browse("");
    EXPECT_EQ(Text("txtFilename"), "/tmp/my image.eep");
    EXPECT_EQ(dialog.lastPath, "other.bin");

    m_window.reset();
    Open();
    Type("kept");
    Browse("");
    EXPECT_EQ(Text("txtFilename"), "kept");
}

}  // namespace
