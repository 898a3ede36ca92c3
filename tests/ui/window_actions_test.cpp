// ImportSettings and the operation sequence, on the window's state without a widget.
#include <gtest/gtest.h>

#include <climits>

#include "tests/support/loader_fixture.h"
#include "ui/window_actions.h"

namespace {

class WindowActionsTest : public LoaderFixture {
protected:
    FormState& State() { return form.Use(); }
};

struct PortCase {
    const char* text;
    std::int32_t port;
};

class PortTextTest : public WindowActionsTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortTextTest, GivesPortNumber)
{
    State().txtPort = GetParam().text;
    ld.state.PortNumber = 99;
    ImportSettings(ld);
    EXPECT_EQ(ld.state.PortNumber, GetParam().port);
    EXPECT_EQ(State().txtPort, GetParam().text);  // the box keeps what was typed
}

INSTANTIATE_TEST_SUITE_P(Texts, PortTextTest,
                         ::testing::Values(PortCase{" 7 ", 7}, PortCase{"7", 7}, PortCase{"", 0},
                                           PortCase{"   ", 0}, PortCase{"COM3", 0},
                                           PortCase{"2.5", 2}, PortCase{"3.5", 4},
                                           PortCase{" 12 ", 12}, PortCase{"-3", -3},
                                           PortCase{"1e12", 0}, PortCase{"-1e12", 0}));

struct TextCase {
    const char* typed;
    const char* passed;
};

class BaudAndFileTextTest : public WindowActionsTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(BaudAndFileTextTest, LoseOnlyOuterSpaces)
{
    State().txtBaud = GetParam().typed;
    State().txtFilename = GetParam().typed;
    ImportSettings(ld);
    EXPECT_EQ(ld.state.BaudText, GetParam().passed);
    EXPECT_EQ(ld.state.ImageFile, GetParam().passed);
}

INSTANTIATE_TEST_SUITE_P(Texts, BaudAndFileTextTest,
                         ::testing::Values(TextCase{" 115200 ", "115200"}, TextCase{"115200", "115200"},
                                           TextCase{"", ""}, TextCase{"    ", ""},
                                           TextCase{"\t115200 ", "\t115200"},
                                           TextCase{" a b.eeprom\t ", "a b.eeprom\t"},
                                           TextCase{"fast", "fast"}));

struct BoxCase {
    int value;
    bool checked;
};

class CheckBoxValueTest : public WindowActionsTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(CheckBoxValueTest, NonZeroCountsAsChecked)
{
    State().chkUseBreakReset = GetParam().value;
    State().chkDensePacking = GetParam().value;
    State().chkWriteEeprom = GetParam().value;
    ImportSettings(ld);
    const bool on = GetParam().checked;
    EXPECT_EQ(ld.state.UseBreakReset, on);
    EXPECT_EQ(ld.state.ZeroPattern, "001");
    EXPECT_EQ(ld.state.OnePattern, on ? "01" : "011");
    EXPECT_EQ(ld.state.BootCommand, on ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(Values, CheckBoxValueTest,
                         ::testing::Values(BoxCase{0, false}, BoxCase{1, true}, BoxCase{2, true}));

TEST_F(WindowActionsTest, EachBoxDrivesOnlyItsOwnField)
{
    State().chkDensePacking = 1;
    ImportSettings(ld);
    EXPECT_FALSE(ld.state.UseBreakReset);
    EXPECT_EQ(ld.state.OnePattern, "01");
    EXPECT_EQ(ld.state.BootCommand, 1);
}

TEST_F(WindowActionsTest, ResetsTheBarFirstAndLeavesTheLinkFieldsAlone)
{
    State().barProgress = 70;
    ld.state.MessageTitle = "title";
    ld.state.LinkStatus = kLinkNoChip;
    ld.state.TxBuffer = {1, 2};
    ld.state.RxBuffer = {3};
    ld.state.BytesSent = 5;
    std::vector<int> barsSeen;
    State().onChanged = [this, &barsSeen] { barsSeen.push_back(form.state.barProgress); };

    ImportSettings(ld);

    EXPECT_EQ(barsSeen, std::vector<int>{0});
    EXPECT_EQ(ld.state.MessageTitle, "title");
    EXPECT_EQ(ld.state.LinkStatus, kLinkNoChip);
    EXPECT_EQ(ld.state.TxBuffer, (ByteString{1, 2}));
    EXPECT_EQ(ld.state.RxBuffer, ByteString{3});
    EXPECT_EQ(ld.state.BytesSent, 5);
}

// What the fake operation saw of the window.
struct Seen {
    bool enabled = true;
    int bar = -1;
    std::int32_t port = -1;
    int calls = 0;
};
Seen g_seen;

void RecordingOperation(Loader& ld)
{
    const FormState& form = ld.frmPellik.Use();
    g_seen.enabled = form.enabled;
    g_seen.bar = form.barProgress;
    g_seen.port = ld.state.PortNumber;
    ++g_seen.calls;
    ld.frmPellik.Use().barProgress = 100;  // an operation that moved the bar
}

TEST_F(WindowActionsTest, OperationRunsOnceWithTheWindowDisabledAndImportedSettings)
{
    g_seen = {};
    State().txtPort = " 4 ";
    State().barProgress = 40;
    std::vector<bool> enabledSeen;
    State().onChanged = [this, &enabledSeen] { enabledSeen.push_back(form.state.enabled); };

    RunWindowOperation(ld, RecordingOperation);

    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_FALSE(g_seen.enabled);
    EXPECT_EQ(g_seen.bar, 0);
    EXPECT_EQ(g_seen.port, 4);
    EXPECT_TRUE(State().enabled);
    EXPECT_EQ(State().barProgress, 100);  // the bar stays where the operation left it
    ASSERT_GE(enabledSeen.size(), 2u);
    EXPECT_FALSE(enabledSeen.front());  // the window is told before anything else happens
    EXPECT_TRUE(enabledSeen.back());
}

}  // namespace
