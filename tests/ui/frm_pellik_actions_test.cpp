// What the window does: operation buttons, what the loader writes back, Close Port, the check
// boxes, the position it keeps for the store, and closing.
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>

#include "loader/serial_link.h"
#include "tests/ui/frm_pellik_fixture.h"

namespace {

struct ButtonCase {
    const char* button;
    const char* operation;
};

class OperationButtonTest : public FrmPellikTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(OperationButtonTest, RunsItsOperationWithTheWindowDisabled)
{
    FrmPellik& w = Open();
    form.state.barProgress = 55;
    form.state.Changed();
    Child<QLineEdit>("txtPort")->setText(" 6 ");
    bool windowEnabled = true;
    int bar = -1;
    FakeOperations().body = [&](Loader& l) {
        windowEnabled = w.isEnabled() || Button(GetParam().button)->isEnabled();
        bar = Child<QProgressBar>("barProgress")->value();
        EXPECT_EQ(l.state.PortNumber, 6);
    };

    Click(GetParam().button);

    EXPECT_EQ(FakeOperations().calls, std::vector<std::string>{GetParam().operation});
    EXPECT_FALSE(windowEnabled);
    EXPECT_EQ(bar, 0);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(form.state.enabled);
    EXPECT_EQ(w.focusWidget(), Button(GetParam().button));  // focus comes back to the button
    EXPECT_EQ(w.windowTitle(), "Ulvane Propeller Downloader - KR6 32-Bit");
}

INSTANTIATE_TEST_SUITE_P(Buttons, OperationButtonTest,
                         ::testing::Values(ButtonCase{"btnFind", "FindChips"},
                                           ButtonCase{"btnIdentify", "IdentifyChip"},
                                           ButtonCase{"btnDownload", "DownloadImage"},
                                           ButtonCase{"btnShutdown", "ShutdownChip"},
                                           ButtonCase{"btnReBoot", "RebootChip"}));

// Writes the window as the port opening does after a successful open.
void OpenAsTheLinkDoes(Loader& l, const char* port)
{
    FormState& f = l.frmPellik.Use();
    f.SerialPort->SetPortOpen(true);
    f.txtPort = port;
    f.txtBaud = "115200";
    f.btnClosePortEnabled = true;
    f.barProgress = 35;
    f.Changed();
}

TEST_F(FrmPellikTest, ShowsWhatTheLinkWroteAndClosePortClosesIt)
{
    Open();
    Child<QLineEdit>("txtPort")->setText("  3");
    Child<QLineEdit>("txtBaud")->setText(" 115200 ");
    FakeOperations().body = [](Loader& l) { OpenAsTheLinkDoes(l, "3"); };
    Click("btnIdentify");

    EXPECT_EQ(Child<QLineEdit>("txtPort")->text(), "3");
    EXPECT_EQ(Child<QLineEdit>("txtBaud")->text(), "115200");
    EXPECT_EQ(Child<QProgressBar>("barProgress")->value(), 35);
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
    EXPECT_TRUE(serial.PortOpen());

    Click("btnClosePort");
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(serial.closes, 1);
    EXPECT_TRUE(FakeOperations().calls.size() == 1);  // no operation, no import
}

TEST_F(FrmPellikTest, ClosePortKeepsWhatWasTypedMeanwhile)
{
    Open();
    FakeOperations().body = [](Loader& l) { OpenAsTheLinkDoes(l, "3"); };
    Click("btnIdentify");
    QTest::keyClicks(Child<QLineEdit>("txtPort"), "5");

    Click("btnClosePort");

    EXPECT_EQ(Child<QLineEdit>("txtPort")->text(), "35");
    EXPECT_EQ(form.state.txtPort, "35");
}

TEST_F(FrmPellikTest, StoredValuesShowIncludingGrayedBoxes)
{
    form.Use();
    form.state.txtPort = " 4 ";
    form.state.txtBaud = "9600";
    form.state.txtFilename = "img/blink.binary";
    form.state.chkUseBreakReset = 2;
    form.state.chkDensePacking = 1;
    Open();
    EXPECT_EQ(Child<QLineEdit>("txtPort")->text(), " 4 ");
    EXPECT_EQ(Child<QLineEdit>("txtBaud")->text(), "9600");
    EXPECT_EQ(Child<QLineEdit>("txtFilename")->text(), "img/blink.binary");
    EXPECT_EQ(Child<QCheckBox>("chkUseBreakReset")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(Child<QCheckBox>("chkDensePacking")->checkState(), Qt::Checked);
    EXPECT_EQ(Child<QCheckBox>("chkWriteEeprom")->checkState(), Qt::Unchecked);
}

TEST_F(FrmPellikTest, ClicksToggleBetweenClearAndCheckedAndGrayedClears)
{
    form.state.chkWriteEeprom = 2;
    Open();
    auto* box = Child<QCheckBox>("chkWriteEeprom");
    std::vector<int> values;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(box, Qt::LeftButton);
        values.push_back(form.state.chkWriteEeprom);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1}));
}

TEST_F(FrmPellikTest, TypingReachesTheStateUntrimmed)
{
    Open();
    auto* file = Child<QLineEdit>("txtFilename");
    QTest::keyClicks(file, " a.eeprom ");
    EXPECT_EQ(form.state.txtFilename, " a.eeprom ");
}

TEST_F(FrmPellikTest, AccessKeyStartsItsOperation)
{
    FrmPellik& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.windowHandle(), Qt::Key_D, Qt::AltModifier);
    // A mnemonic presses the button visibly first; the click follows a moment later.
    EXPECT_TRUE(QTest::qWaitFor([] { return !FakeOperations().calls.empty(); }, 2000));
    EXPECT_EQ(FakeOperations().calls, std::vector<std::string>{"DownloadImage"});
}

TEST_F(FrmPellikTest, CloseDuringAnOperationIsRefusedAndTheOperationEnds)
{
    FrmPellik& w = Open();
    bool closed = true;
    FakeOperations().body = [&](Loader&) { closed = w.close(); };
    Click("btnDownload");
    EXPECT_FALSE(closed);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(form.unloads, 0);
    EXPECT_TRUE(w.isEnabled());

    EXPECT_TRUE(w.close());
    EXPECT_EQ(form.unloads, 1);
}

TEST_F(FrmPellikTest, CloseWhenIdleUnloadsAndClosesThePort)
{
    int ownerTold = 0;
    form.state.onChanged = [&ownerTold] { ++ownerTold; };
    FrmPellik& w = Open();
    FakeOperations().body = [](Loader& l) { OpenAsTheLinkDoes(l, "2"); };
    Click("btnFind");
    ASSERT_TRUE(serial.PortOpen());
    EXPECT_GT(ownerTold, 0);  // the owner's own watcher still hears the changes

    EXPECT_TRUE(w.close());
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(serial.PortOpen());
    // Only the owner's watcher is left: nothing reaches back into a closed window.
    const int before = ownerTold;
    form.state.Changed();
    EXPECT_EQ(ownerTold, before + 1);
    const bool shown = Button("btnClosePort")->isEnabled();
    form.state.btnClosePortEnabled = !shown;
    form.state.Changed();
    EXPECT_EQ(Button("btnClosePort")->isEnabled(), shown);
}

TEST_F(FrmPellikTest, StoredPositionIsAppliedAndKeptExactlyUntilMoved)
{
    form.state.top = 1507.5f;
    form.state.left = 3000.0f;
    FrmPellik& w = Open();
    EXPECT_EQ(w.pos(), QPoint(200, 101));
    EXPECT_EQ(form.state.top, 1507.5f);
    EXPECT_EQ(form.state.left, 3000.0f);

    w.move(40, 60);
    QTest::qWait(20);
    EXPECT_EQ(form.state.left, 600.0f);
    EXPECT_EQ(form.state.top, 900.0f);
}

TEST_F(FrmPellikTest, PositionWithoutAStoredOneIsTakenAtClose)
{
    FrmPellik& w = Open();
    QTest::qWait(20);
    const QPoint at = w.pos();
    ASSERT_TRUE(w.close());
    ASSERT_TRUE(form.state.top && form.state.left);
    EXPECT_EQ(*form.state.left, at.x() * 15.0f);
    EXPECT_EQ(*form.state.top, at.y() * 15.0f);
}

TEST_F(FrmPellikTest, MinimizedCloseLeavesThePositionAlone)
{
    form.state.top = 300.0f;
    form.state.left = 450.0f;
    FrmPellik& w = Open();
    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(w.close());
    EXPECT_TRUE(form.state.minimized);
    EXPECT_EQ(form.state.top, 300.0f);
    EXPECT_EQ(form.state.left, 450.0f);
}

TEST_F(FrmPellikTest, MinimizedIsTrackedForTheUnload)
{
    FrmPellik& w = Open();
    w.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(form.state.minimized);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(form.state.minimized);
}

}  // namespace

namespace {

// The window with the real operations, on the fake port with nothing attached.
class FrmPellikRealOperationsTest : public FrmPellikTest {
protected:
    FrmPellik& OpenWithRealOperations()
    {
        m_window = std::make_unique<FrmPellik>(ld, form, dialog);
        m_window->show();
        return *m_window;
    }
};

TEST_F(FrmPellikRealOperationsTest, IdentifyWithoutAChipReportsOnceAndLeavesThePortOpen)
{
    FrmPellik& w = OpenWithRealOperations();
    Child<QLineEdit>("txtPort")->setText(" 2 ");
    bool enabledWhileReporting = true;
    presenter.onShow = [&](const RecordingPresenter::Message&) { enabledWhileReporting = w.isEnabled(); };

    Click("btnIdentify");

    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(enabledWhileReporting);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(Child<QLineEdit>("txtPort")->text(), "2");
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());

    Click("btnClosePort");
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
}

}  // namespace
