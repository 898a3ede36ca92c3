// The widget on the real window state: what the store holds shows on load, where the window
// stands, and what goes back on close.
#include <QCheckBox>
#include <QScreen>

#include "tests/ui/frm_pellik_fixture.h"

namespace {

class FrmPellikStoreTest : public FrmPellikTest {
protected:
    // Opens the window on what the store holds: the model loads it from there.
    FrmPellik& OpenOnStore() { return Open(); }
    std::string& Stored(const char* section, const char* key) { return store.values[{"Pellik32", section, key}]; }
};

// Texts keep their spaces both ways, a grayed box stays grayed, an unmoved window keeps its place.
TEST_F(FrmPellikStoreTest, StoredValuesShowAndGoBackExactlyWhenNothingChanged)
{
    for (const auto& [key, value] : {std::pair{"Port", " 7 "}, {"Baud", "9600 "}, {"File", "  my img.binary"},
                                     {"Break", "0"}, {"Pack", "2"}, {"Save", "1"}})
        Stored("Settings", key) = value;
    Stored("Window", "Top") = "1507.5";
    Stored("Window", "Left") = "3000";
    const auto before = store.values;
    FrmPellik& w = OpenOnStore();
    EXPECT_EQ(w.pos(), QPoint(200, 101));
    EXPECT_EQ(Text("txtPort"), " 7 ");
    EXPECT_EQ(Text("txtBaud"), "9600 ");
    EXPECT_EQ(Text("txtFilename"), "  my img.binary");
    EXPECT_EQ(Child<QCheckBox>("chkUseBreakReset")->checkState(), Qt::Unchecked);
    EXPECT_EQ(Child<QCheckBox>("chkDensePacking")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(Child<QCheckBox>("chkWriteEeprom")->checkState(), Qt::Checked);

    ASSERT_TRUE(w.close());
    EXPECT_EQ(store.values, before);
}

TEST_F(FrmPellikStoreTest, EditsAndAMoveAreStoredOnClose)
{
    Stored("Window", "Top") = "1507.5";
    Stored("Window", "Left") = "3000";
    FrmPellik& w = OpenOnStore();
    Child<QLineEdit>("txtBaud")->setText(" 9600");
    QTest::mouseClick(Child<QCheckBox>("chkWriteEeprom"), Qt::LeftButton);
    w.move(40, 60);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Settings", "Baud"), " 9600");
    EXPECT_EQ(Stored("Settings", "Save"), "1");
    EXPECT_EQ(Stored("Window", "Left"), "600");
    EXPECT_EQ(Stored("Window", "Top"), "900");
}

TEST_F(FrmPellikStoreTest, PositionWithoutAStoredOneIsTakenAtClose)
{
    FrmPellik& w = OpenOnStore();
    const QPoint at = w.pos();
    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Window", "Left"), std::to_string(at.x() * 15));
    EXPECT_EQ(Stored("Window", "Top"), std::to_string(at.y() * 15));
}

TEST_F(FrmPellikStoreTest, MinimizedCloseKeepsTheStoredPosition)
{
    Stored("Window", "Top") = "300";
    Stored("Window", "Left") = "450";
    FrmPellik& w = OpenOnStore();
    w.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(model.State().minimized);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(model.State().minimized);
    w.move(90, 90);
    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(Stored("Settings", "Port"), "1");  // the settings are written all the same
    EXPECT_EQ(Stored("Window", "Top"), "300");
    EXPECT_EQ(Stored("Window", "Left"), "450");
}

// A stored place that leaves no title bar to grab on any screen centres the window instead; one
// that keeps enough of it on a screen is used as stored. The store changes only at close.
TEST_F(FrmPellikStoreTest, APlaceOffEveryScreenCentresTheWindow)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        QPoint stored;  // in pixels
        bool kept;
    } cases[] = {{{-3000, -2000}, false}, {{screen.right() - 20, 10}, false}, {{10, screen.bottom() - 5}, false},
                 {{screen.right() - 100, screen.bottom() - 40}, true}, {{-400, 0}, true}};
    for (const auto& c : cases) {
        Stored("Window", "Left") = std::to_string(c.stored.x() * 15);
        Stored("Window", "Top") = std::to_string(c.stored.y() * 15);
        FrmPellik& w = OpenOnStore();
        const QPoint centred = screen.center() - w.rect().center();
        EXPECT_EQ(w.pos(), c.kept ? c.stored : centred) << c.stored.x() << "," << c.stored.y();
        EXPECT_EQ(Stored("Window", "Left"), std::to_string(c.stored.x() * 15));
        ASSERT_TRUE(w.close());
        EXPECT_EQ(Stored("Window", "Left"), std::to_string((c.kept ? c.stored : centred).x() * 15));
    }
}

}  // namespace
