// What the window does: operation buttons, what the loader writes back, Close Port, the check
// boxes, access keys and closing.
#include <QCheckBox>
#include <QProgressBar>

#include "loader/serial_link.h"
#include "tests/ui/frm_pellik_fixture.h"

namespace {

class OperationButtonTest : public FrmPellikTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(OperationButtonTest, RunsItsOperationWithTheWindowDisabled)
{
    const auto [button, operation] = GetParam();
    FrmPellik& w = Open();
    Child<QLineEdit>("txtPort")->setText(" 6 ");
    bool enabled = true;
    FakeOperations::body = [&](Loader& l) {
        enabled = w.isEnabled() || Button(button)->isEnabled();
        EXPECT_EQ(l.state.PortNumber, 6);  // the typed settings are imported first
    };

    Click(button);

    EXPECT_EQ(FakeOperations::calls, std::vector<std::string>{operation});
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(w.focusWidget(), Button(button));  // focus comes back to the button
}

INSTANTIATE_TEST_SUITE_P(Buttons, OperationButtonTest,
                         ::testing::Values(std::pair{"btnFind", "FindChips"}, std::pair{"btnIdentify", "IdentifyChip"},
                                           std::pair{"btnDownload", "DownloadImage"},
                                           std::pair{"btnShutdown", "ShutdownChip"},
                                           std::pair{"btnReBoot", "RebootChip"}),
                         [](const auto& info) { return std::string(info.param.first); });

// Writes the window as the port opening does after a successful open.
void OpenAsTheLinkDoes(Loader& l)
{
    FormState& f = l.frmPellik.Use();
    f.SerialPort->SetPortOpen(true);
    f.txtPort = "3";
    f.txtBaud = "115200";
    f.btnClosePortEnabled = true;
    f.barProgress = 35;
    f.Changed();
}

TEST_F(FrmPellikTest, ShowsWhatTheLinkWroteAndClosePortKeepsWhatWasTypedMeanwhile)
{
    Open();
    Child<QLineEdit>("txtPort")->setText("  3");
    Child<QLineEdit>("txtBaud")->setText(" 115200 ");
    FakeOperations::body = OpenAsTheLinkDoes;
    Click("btnIdentify");
    EXPECT_EQ(Text("txtPort"), "3");
    EXPECT_EQ(Text("txtBaud"), "115200");
    EXPECT_EQ(Child<QProgressBar>("barProgress")->value(), 35);
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
    EXPECT_TRUE(serial.PortOpen());

    QTest::keyClicks(Child<QLineEdit>("txtPort"), "5");
    Click("btnClosePort");
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(serial.closes, 1);
    EXPECT_EQ(Text("txtPort"), "35");
    EXPECT_EQ(form.state.txtPort, "35");
    EXPECT_EQ(FakeOperations::calls.size(), 1u);  // no operation, no import
}

TEST_F(FrmPellikTest, ClosePortFollowsAPortThatFailsOnItsOwn)
{
    Open();
    FakeOperations::body = OpenAsTheLinkDoes;
    Click("btnIdentify");
    ASSERT_TRUE(Button("btnClosePort")->isEnabled());
    serial.Unplug();
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
}

TEST_F(FrmPellikTest, EditsReachTheStateAsTheyAreAndClicksToggleBetweenClearAndChecked)
{
    form.state.chkWriteEeprom = 2;
    Open();
    auto* box = Child<QCheckBox>("chkWriteEeprom");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    std::vector<int> values;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(box, Qt::LeftButton);
        values.push_back(form.state.chkWriteEeprom);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1}));
    QTest::keyClicks(Child<QLineEdit>("txtFilename"), " a.eeprom ");
    EXPECT_EQ(form.state.txtFilename, " a.eeprom ");
}

TEST_F(FrmPellikTest, AccessKeyStartsItsOperation)
{
    FrmPellik& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.windowHandle(), Qt::Key_D, Qt::AltModifier);
    // A mnemonic presses the button visibly first; the click follows a moment later.
    EXPECT_TRUE(QTest::qWaitFor([] { return !FakeOperations::calls.empty(); }, 2000));
    EXPECT_EQ(FakeOperations::calls, std::vector<std::string>{"DownloadImage"});
}

TEST_F(FrmPellikTest, CloseIsRefusedDuringAnOperationAndUnloadsWhenIdle)
{
    int ownerTold = 0;
    form.state.onChanged = [&ownerTold] { ++ownerTold; };
    FrmPellik& w = Open();
    bool closed = true;
    FakeOperations::body = [&](Loader& l) {
        OpenAsTheLinkDoes(l);
        closed = w.close();
    };
    Click("btnDownload");
    EXPECT_FALSE(closed);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isEnabled());  // the operation ended normally
    EXPECT_EQ(form.unloads, 0);
    ASSERT_TRUE(serial.PortOpen());
    EXPECT_GT(ownerTold, 0);  // the owner's own watcher still hears the changes

    EXPECT_TRUE(w.close());
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(serial.PortOpen());
    // Only the owner's watcher is left: nothing reaches back into a closed window.
    const int before = ownerTold;
    form.state.btnClosePortEnabled = false;
    form.state.Changed();
    EXPECT_EQ(ownerTold, before + 1);
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
}

// The real operations, on the fake port with nothing attached.
TEST_F(FrmPellikTest, IdentifyWithoutAChipReportsOnceAndLeavesThePortOpen)
{
    FrmPellik& w = Open(ld, form, WindowOperations{});
    Child<QLineEdit>("txtPort")->setText(" 2 ");
    bool enabledWhileReporting = true;
    presenter.onShow = [&](const RecordingPresenter::Message&) { enabledWhileReporting = w.isEnabled(); };

    Click("btnIdentify");

    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(enabledWhileReporting);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(Text("txtPort"), "2");
    EXPECT_TRUE(serial.PortOpen());
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
}

}  // namespace
