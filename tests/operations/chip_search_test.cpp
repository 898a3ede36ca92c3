// The search over ports 1 to 10: the report byte for byte, the port box, the port left closed.
#include "loader/operations.h"
#include "tests/operations/chip_fixture.h"

namespace {

using ChipSearch = ChipFixture;

std::string Report(const std::string& headline, const std::set<int>& withChip)
{
    std::string text = headline + "\r\n";
    for (int port = 1; port <= 10; ++port)
        text += "\r\n " + std::to_string(port) + " : " + (withChip.count(port) ? "Propeller Chip Version 1 found" : "-");
    return text;
}

TEST_F(ChipSearch, ReportsEveryPortAndSetsThePortBoxOnlyForOneChip)
{
    const struct {
        const char* name;
        std::set<int> chipsOn;
        const char* headline;
        MessageIcon icon;
        const char* portBox;  // otherwise the box keeps the last port that opened, as the link wrote it
    } cases[] = {
        {"one chip on 3", {3}, "One Propeller Chip found", MessageIcon::Information, "3"},
        {"chips on 2 and 5", {2, 5}, "Multiple Propeller Chips found", MessageIcon::Information, "10"},
        {"a chip only on 10", {10}, "One Propeller Chip found", MessageIcon::Information, "10"},
        {"no chip", {}, "No Propeller Chips found", MessageIcon::Warning, "10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chips.clear();
        for (int port : c.chipsOn)
            PlaceChip(port);
        presenter.messages.clear();
        window.state.txtPort = "7";
        FindChips(ld);
        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].text, Report(c.headline, c.chipsOn));
        EXPECT_EQ(presenter.messages[0].icon, c.icon);
        EXPECT_EQ(window.state.txtPort, c.portBox);
        EXPECT_FALSE(serial.PortOpen());
        EXPECT_FALSE(window.state.btnClosePortEnabled);
    }
}

TEST_F(ChipSearch, PortsThatDoNotOpenAreJustAbsentAndTheBaudTextIsUsedAsItStands)
{
    serial.openablePorts = {4};
    PlaceChip(4);
    ld.state.BaudText = "";  // a command-line search without a baud switch
    FindChips(ld);
    EXPECT_EQ(presenter.messages.at(0).text, Report("One Propeller Chip found", {4}));
    EXPECT_EQ(window.state.txtPort, "4");
    EXPECT_EQ(window.state.txtBaud, "115200") << "the control kept its own line settings";
    EXPECT_EQ(ld.state.PortNumber, 3) << "the search does not change the port of the next operation";
}

}  // namespace
