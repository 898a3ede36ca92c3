// ImportSettings and the operation sequence, on the window's state without a widget.
#include <gtest/gtest.h>

#include "tests/ui/window_model_fixture.h"
#include "ui/window_actions.h"

namespace {

class WindowActionsTest : public WindowModelFixture {
protected:
    WindowState& State() { return model.Load(); }
};

TEST_F(WindowActionsTest, PortTextGivesTheRoundedPortNumberOrZero)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {" 7 ", 7}, {"", 0},    {"12", 12}, {"   ", 0}, {"COM3", 0}, {"2.5", 2},
        {"3.5", 4}, {"-3", -3}, {"1e12", 0}, {"-1e12", 0},
    };
    for (const auto& [text, port] : cases) {
        State().txtPort = text;
        ImportSettings(ld, model);
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
        ImportSettings(ld, model);
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
        ImportSettings(ld, model);
        EXPECT_EQ(ld.state.UseBreakReset, useBreak) << brk << dense << eeprom;
        EXPECT_EQ(ld.state.ZeroPattern, "001");
        EXPECT_EQ(ld.state.OnePattern, onePattern) << brk << dense << eeprom;
        EXPECT_EQ(ld.state.BootCommand, bootCommand) << brk << dense << eeprom;
    }
}

TEST_F(WindowActionsTest, OperationRunsOnceDisabledOnImportedSettingsWithTheBarReset)
{
    // What the window showed at each change and what the operation found, in order.
    std::vector<std::string> log;
    const auto note = [&log](const char* who, const WindowState& f) {
        log.push_back(std::string(who) + (f.enabled ? " enabled " : " disabled ") + std::to_string(f.barProgress));
    };
    State().txtPort = " 4 ";
    State().barProgress = 40;
    State().onChanged = [&] { note("shown", model.State()); };

    RunWindowOperation(ld, model, [&](Loader& l) {
        note("operation", model.State());
        log.push_back("port " + std::to_string(l.state.PortNumber));
        model.Load().barProgress = 100;  // an operation that moved the bar
    });

    // Disabled before anything else; the bar stays where the operation left it.
    EXPECT_EQ(log, (std::vector<std::string>{"shown disabled 40", "shown disabled 0", "operation disabled 0",
                                             "port 4", "shown enabled 100"}));
}

}  // namespace
