// Identify, Reboot and Shutdown against in-process ROM chips.
#include <algorithm>

#include "loader/operations.h"
#include "tests/operations/chip_fixture.h"

namespace {

using ShortOperations = ChipFixture;

TEST_F(ShortOperations, MessagesWithAndWithoutAChip)
{
    const struct {
        const char* name;
        void (*operation)(Loader&);
        bool chip;
        std::int32_t port;
        const char* message;
        MessageIcon icon;
    } cases[] = {
        {"identify", IdentifyChip, true, 3, "Propeller Chip Version 1 found", MessageIcon::Information},
        {"reboot", RebootChip, true, 3, "Rebooted", MessageIcon::Information},
        {"shutdown", ShutdownChip, true, 3, "Shutdown Sent", MessageIcon::Information},
        {"identify, no chip", IdentifyChip, false, 3, "No Propeller Chip found", MessageIcon::Warning},
        {"reboot, no chip", RebootChip, false, 3, "No Propeller Chip found", MessageIcon::Warning},
        {"shutdown, no chip", ShutdownChip, false, 3, "No Propeller Chip found", MessageIcon::Warning},
        {"identify, no port", IdentifyChip, true, 0, "No COM Port specified\r\n\r\n", MessageIcon::Warning},
        {"shutdown, no port", ShutdownChip, true, 0, "No COM Port specified\r\n\r\n", MessageIcon::Warning},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chips.clear();
        if (c.chip)
            PlaceChip(3);
        presenter.messages.clear();
        serial.events.clear();
        ld.state.PortNumber = c.port;
        c.operation(ld);
        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].text, c.message);
        EXPECT_EQ(presenter.messages[0].icon, c.icon);
        // Only a shutdown to a chip sends anything after the handshake.
        EXPECT_EQ(AfterHandshake().empty(), !(c.chip && c.operation == ShutdownChip && c.port != 0));
        if (c.port == 0) {
            EXPECT_TRUE(serial.events.empty()) << "no port given: the port is not touched";
        }
    }
}

TEST_F(ShortOperations, ShutdownIsTheSameElevenCharactersInBothPackings)
{
    for (const char* pattern : {"011", "01"}) {
        SCOPED_TRACE(pattern);
        RomChip& chip = PlaceChip(3);
        serial.events.clear();
        ld.state.OnePattern = pattern;
        ShutdownChip(ld);
        EXPECT_EQ(AfterHandshake(), Hex("92 92 92 92 92 92 92 92 92 92 F2"));
        EXPECT_TRUE(chip.ShutdownReceived());
    }
}

// Every operation resets the chip, even on a port it reuses.
TEST_F(ShortOperations, IdentifyTwiceResetsAndHandshakesTwice)
{
    PlaceChip(3);
    IdentifyChip(ld);
    IdentifyChip(ld);
    EXPECT_EQ(std::count_if(serial.events.begin(), serial.events.end(),
                            [](const auto& e) { return e.kind == FakeSerial::Event::Dtr && e.on; }),
              2);
    EXPECT_EQ(serial.Writes().size(), 4u);
    EXPECT_EQ(serial.opens, 1);
    EXPECT_EQ(presenter.messages.at(1).text, "Propeller Chip Version 1 found");
}

}  // namespace
