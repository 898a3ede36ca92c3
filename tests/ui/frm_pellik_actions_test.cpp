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
    body = [&](Loader& l) {
        enabled = w.isEnabled() || Button(button)->isEnabled();
        EXPECT_EQ(l.state.PortNumber, 6);  // the typed settings are imported first
    };

    Click(button);

    EXPECT_EQ(calls, std::vector<std::string>{operation});
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

// Writes the window as the port opening does after a successful open, and moves the bar.
void OpenAsTheLinkDoes(Loader& l)
{
    l.frmPellik.SerialPort().SetPortOpen(true);
    l.frmPellik.SetClosePortEnabled(true);
    l.frmPellik.SetPortText("3");
    l.frmPellik.SetBaudText("115200");
    l.frmPellik.SetProgress(35);
}

TEST_F(FrmPellikTest, ShowsWhatTheLinkWroteAndClosePortKeepsWhatWasTypedMeanwhile)
{
    Open();
    Child<QLineEdit>("txtPort")->setText("  3");
    Child<QLineEdit>("txtBaud")->setText(" 115200 ");
    body = OpenAsTheLinkDoes;
    Click("btnIdentify");
    EXPECT_EQ(Text("txtPort"), "3");
    EXPECT_EQ(Text("txtBaud"), "115200");
    EXPECT_EQ(Child<QProgressBar>("barProgress")->value(), 35);
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
    EXPECT_TRUE(Serial().PortOpen());

    QTest::keyClicks(Child<QLineEdit>("txtPort"), "5");
    Click("btnClosePort");
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
    EXPECT_FALSE(Serial().PortOpen());
    EXPECT_EQ(Serial().closes, 1);
    EXPECT_EQ(Text("txtPort"), "35");
    EXPECT_EQ(model.State().txtPort, "35");
    EXPECT_EQ(calls.size(), 1u);  // no operation, no import
}

TEST_F(FrmPellikTest, ClosePortFollowsAPortThatFailsOnItsOwn)
{
    Open();
    body = OpenAsTheLinkDoes;
    Click("btnIdentify");
    ASSERT_TRUE(Button("btnClosePort")->isEnabled());
    Serial().Unplug();
    EXPECT_FALSE(Button("btnClosePort")->isEnabled());
}

TEST_F(FrmPellikTest, EditsReachTheStateAsTheyAreAndClicksToggleBetweenClearAndChecked)
{
    model.Load().chkWriteEeprom = 2;
    Open();
    auto* box = Child<QCheckBox>("chkWriteEeprom");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    std::vector<int> values;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(box, Qt::LeftButton);
        values.push_back(model.State().chkWriteEeprom);
    }
    EXPECT_EQ(values, (std::vector<int>{0, 1, 0, 1}));
    QTest::keyClicks(Child<QLineEdit>("txtFilename"), " a.eeprom ");
    EXPECT_EQ(model.State().txtFilename, " a.eeprom ");
}

TEST_F(FrmPellikTest, AccessKeyStartsItsOperation)
{
    FrmPellik& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.windowHandle(), Qt::Key_D, Qt::AltModifier);
    // A mnemonic presses the button visibly first; the click follows a moment later.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !calls.empty(); }, 2000));
    EXPECT_EQ(calls, std::vector<std::string>{"DownloadImage"});
}

TEST_F(FrmPellikTest, CloseIsRefusedDuringAnOperationAndUnloadsWhenIdle)
{
    int ownerTold = 0;
    model.SetOnChanged([&ownerTold] { ++ownerTold; });
    FrmPellik& w = Open();
    bool closed = true;
    body = [&](Loader& l) {
        OpenAsTheLinkDoes(l);
        closed = w.close();
    };
    Click("btnDownload");
    EXPECT_FALSE(closed);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isEnabled());  // the operation ended normally
    EXPECT_EQ(Unloads(), 0u);
    ASSERT_TRUE(Serial().PortOpen());
    EXPECT_GT(ownerTold, 0);  // the owner's own watcher still hears the changes

    EXPECT_TRUE(w.close());
    EXPECT_EQ(Unloads(), 1u);
    EXPECT_FALSE(Serial().PortOpen());
    // Only the owner's watcher is left: nothing reaches back into a closed window.
    const int before = ownerTold;
    model.Load().btnClosePortEnabled = false;
    model.State().Changed();
    EXPECT_EQ(ownerTold, before + 1);
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
}

// The real operations, on the fake port with nothing attached.
TEST_F(FrmPellikTest, IdentifyWithoutAChipReportsOnceAndLeavesThePortOpen)
{
    FrmPellik& w = Open(RealOperations());
    Child<QLineEdit>("txtPort")->setText(" 2 ");
    bool enabledWhileReporting = true;
    presenter.onShow = [&](const RecordingPresenter::Message&) { enabledWhileReporting = w.isEnabled(); };

    Click("btnIdentify");

    ASSERT_EQ(presenter.messages.size(), 1u);
    EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(enabledWhileReporting);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_EQ(Text("txtPort"), "2");
    EXPECT_TRUE(Serial().PortOpen());
    EXPECT_TRUE(Button("btnClosePort")->isEnabled());
}

}  // namespace
