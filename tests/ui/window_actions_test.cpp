// ImportSettings and the operation sequence, on the window's state without a widget.
#include <gtest/gtest.h>

#include "tests/support/loader_fixture.h"
#include "ui/window_actions.h"

namespace {

class WindowActionsTest : public LoaderFixture {
protected:
    FormState& State() { return form.Use(); }
};

TEST_F(WindowActionsTest, PortTextGivesTheRoundedPortNumberOrZero)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {" 7 ", 7}, {"", 0},    {"12", 12}, {"   ", 0}, {"COM3", 0}, {"2.5", 2},
        {"3.5", 4}, {"-3", -3}, {"1e12", 0}, {"-1e12", 0},
    };
    for (const auto& [text, port] : cases) {
        State().txtPort = text;
        ImportSettings(ld);
        EXPECT_EQ(ld.state.PortNumber, port) << '"' << text << '"';
        EXPECT_EQ(State().txtPort, text);  // the box keeps what was typed
    }
}

TEST_F(WindowActionsTest, BaudAndFileTextsLoseOnlyOuterSpaces)
{
    const std::pair<const char*, const char*> cases[] = {
        {" 115200 ", "115200"}, {"", ""}, {"    ", ""}, {"\t115200 ", "\t115200"},
        {" a b.eeprom\t ", "a b.eeprom\t"}, {"fast", "fast"},
    };
    for (const auto& [typed, passed] : cases) {
        State().txtBaud = typed;
        State().txtFilename = typed;
        ImportSettings(ld);
        EXPECT_EQ(ld.state.BaudText, passed) << '"' << typed << '"';
        EXPECT_EQ(ld.state.ImageFile, passed) << '"' << typed << '"';
    }
}

TEST_F(WindowActionsTest, EachNonZeroBoxSetsOnlyItsOwnField)
{
    // Box values break, dense, eeprom; then UseBreakReset, OnePattern, BootCommand.
    const std::tuple<int, int, int, bool, const char*, int> cases[] = {
        {0, 0, 0, false, "011", 1}, {1, 0, 0, true, "011", 1}, {0, 2, 0, false, "01", 1},
        {0, 0, 1, false, "011", 3}, {2, 1, 2, true, "01", 3},
    };
    for (const auto& [brk, dense, eeprom, useBreak, onePattern, bootCommand] : cases) {
        State().chkUseBreakReset = brk;
        State().chkDensePacking = dense;
        State().chkWriteEeprom = eeprom;
        ImportSettings(ld);
        EXPECT_EQ(ld.state.UseBreakReset, useBreak) << brk << dense << eeprom;
        EXPECT_EQ(ld.state.ZeroPattern, "001");
        EXPECT_EQ(ld.state.OnePattern, onePattern) << brk << dense << eeprom;
        EXPECT_EQ(ld.state.BootCommand, bootCommand) << brk << dense << eeprom;
    }
}

// What the fake operation saw of the window.
struct Seen {
    bool enabled = true;
    int bar = -1;
    std::int32_t port = -1;
    int calls = 0;
} g_seen;

void RecordingOperation(Loader& ld)
{
    FormState& form = ld.frmPellik.Use();
    g_seen = {form.enabled, form.barProgress, ld.state.PortNumber, g_seen.calls + 1};
    form.barProgress = 100;  // an operation that moved the bar
}

TEST_F(WindowActionsTest, OperationRunsOnceDisabledOnImportedSettingsAndLeavesTheLinkFieldsAlone)
{
    g_seen = {};
    State().txtPort = " 4 ";
    State().barProgress = 40;
    ld.state.MessageTitle = "title";
    ld.state.LinkStatus = kLinkNoChip;
    ld.state.BytesSent = 5;
    std::vector<std::pair<bool, int>> shown;  // enabled and bar at each change
    State().onChanged = [this, &shown] { shown.emplace_back(form.state.enabled, form.state.barProgress); };

    RunWindowOperation(ld, RecordingOperation);

    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_FALSE(g_seen.enabled);
    EXPECT_EQ(g_seen.bar, 0);
    EXPECT_EQ(g_seen.port, 4);
    // Disabled before anything else, the bar reset before the operation, and left where it moved it.
    EXPECT_EQ(shown, (std::vector<std::pair<bool, int>>{{false, 40}, {false, 0}, {true, 100}}));
    EXPECT_EQ(ld.state.MessageTitle, "title");
    EXPECT_EQ(ld.state.LinkStatus, kLinkNoChip);
    EXPECT_EQ(ld.state.BytesSent, 5);
}

}  // namespace
