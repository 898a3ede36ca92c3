// The handshake against the virtual chip, the answer waits and their LinkStatus outcomes, and the
// behaviour on slow and on failing ports.
#include <algorithm>
#include <memory>

#include "loader/boot_handshake.h"
#include "loader/serial_link.h"
#include "tests/support/loader_fixture.h"
#include "tools/boot_lfsr.h"
#include "tools/rom_chip.h"

namespace {

class BootHandshakeTest : public LoaderFixture {
protected:
    BootHandshakeTest() { UseWindowDefaults(); }

    void PlaceChip(RomChipOptions options = {})
    {
        chip = std::make_unique<RomChip>(options);
        serial.peer = [this](const ByteString& block, std::int64_t now) { return chip->Receive(block, now); };
    }
    void Connect() { ConnectChip(ld, ld.state.PortNumber, ld.state.BaudText); }

    std::unique_ptr<RomChip> chip;
};

template <typename T>
RomChipOptions With(T RomChipOptions::*field, T value)
{
    RomChipOptions options;
    options.*field = value;
    return options;
}

std::string BitText(Loader& ld, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('0' + NextLfsrBit(ld));
    return text;
}

TEST_F(BootHandshakeTest, NextLfsrBitGivesTheKnownBitsAndMatchesTheChipsGenerator)
{
    ld.state.LfsrState = 'P';
    const std::string bits = BitText(ld, 282);
    EXPECT_EQ(bits.substr(0, 32), "01011100111101011111000111001010");
    EXPECT_EQ(bits.substr(250), "01000010111001111010111110001110");

    ld.state.LfsrState = 'P';
    BootLfsr reference;
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(NextLfsrBit(ld), reference.Next()) << "bit " << i + 1;
}

TEST_F(BootHandshakeTest, StandardTrafficIsOneCalibrationThenOneBlockOf508)
{
    ld.state.TxBuffer = {0x11};
    ld.state.PulseBits = "0010";
    ld.state.RxBuffer = {0x22};
    ld.state.BytesSent = 99;
    serial.Feed({0xFF, 0xFF});  // noise while the chip resets: dropped before the answer is read
    PlaceChip();
    const std::int64_t start = clock.NowMs();
    Connect();
    EXPECT_EQ(ld.state.LinkStatus, 1);

    const auto writes = serial.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], ByteString{0xF9});
    ASSERT_EQ(writes[1].size(), 508u);
    BootLfsr lfsr;
    for (int i = 0; i < 250; ++i)
        ASSERT_EQ(writes[1][i], 0xFE | lfsr.Next()) << i;
    EXPECT_EQ(ByteString(writes[1].begin() + 250, writes[1].end()), ByteString(258, 0xF9));

    const auto firstWrite = std::find_if(serial.events.begin(), serial.events.end(),
                                         [](const auto& e) { return e.kind == FakeSerial::Event::Write; });
    EXPECT_EQ(firstWrite->atMs - start, 115);  // right after the reset
    EXPECT_EQ(ld.state.BytesSent, 509);
    EXPECT_TRUE(ld.state.RxBuffer.empty());
    EXPECT_TRUE(ld.state.TxBuffer.empty());
}

TEST_F(BootHandshakeTest, OutcomesOfTheChipsAnswer)
{
    struct Case {
        const char* name;
        RomChipOptions chip;
        std::int32_t status;
        std::size_t unread;  // answer bytes left in RxBuffer; kAny: not checked
    };
    constexpr std::size_t kAny = ~std::size_t{0};
    const Case cases[] = {
        {"version 1", {}, 1, 0},
        {"version 2", With(&RomChipOptions::version, 2), kLinkNoChip, 0},
        {"version 0", With(&RomChipOptions::version, 0), kLinkNoChip, 0},
        {"version 129", With(&RomChipOptions::version, 129), kLinkNoChip, 0},
        {"wrong 17th bit", With(&RomChipOptions::wrongBitAt, 17), kLinkNoChip, 258 - 17},
        {"wrong last bit", With(&RomChipOptions::wrongBitAt, 250), kLinkNoChip, 8},
        {"three stray bytes first", With(&RomChipOptions::strayBytes, 3), 1, 0},
        {"ten stray bytes use up the first wait", With(&RomChipOptions::strayBytes, 10), kLinkNoChip, kAny},
        {"no version", With(&RomChipOptions::answerPolls, 250), kLinkNoChip, 0},
        {"silence", With(&RomChipOptions::silent, true), kLinkNoChip, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceChip(c.chip);
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, c.status);
        if (c.unread != kAny) {
            EXPECT_EQ(ld.state.RxBuffer.size(), c.unread);
        }
    }
}

// An adapter unplugged during the last pause is a lost link, not a missing chip.
TEST_F(BootHandshakeTest, SilenceEndsAfterTenLooksOfTheFirstWait)
{
    for (const bool unplugInLastPause : {false, true}) {
        SCOPED_TRACE(unplugInLastPause ? "unplugged in the last pause" : "silence");
        const std::int64_t start = clock.NowMs();
        const int pumpsBefore = clock.pumps;
        if (unplugInLastPause)
            clock.Schedule(start + 115 + 100, [&] { serial.Unplug(); });  // as the last pause ends
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, unplugInLastPause ? kLinkLost : kLinkNoChip);
        EXPECT_EQ(clock.NowMs() - start, 115 + 100);
        EXPECT_EQ(clock.pumps - pumpsBefore, 2 + 10);  // the reset's two delays, then one pause per look
    }
}

// At low rates the 508 handshake bytes take longer than the first answer wait; that time must
// not count against the chip.
TEST_F(BootHandshakeTest, SucceedsAtEveryRateWhenTheWireTakesItsTime)
{
    serial.modelWireTime = true;
    for (const char* baud : {"4800", "9600", "115200"}) {
        SCOPED_TRACE(baud);
        PlaceChip();
        ld.state.BaudText = baud;
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, 1);
        EXPECT_EQ(window.state.txtBaud, baud);
    }
}

// An adapter unplugged while the answer comes in ends the wait at once; the download tests cover
// an unplug during the write.
TEST_F(BootHandshakeTest, UnpluggedAdapterEndsTheHandshakeAtOnceAsLinkLost)
{
    PlaceChip(With(&RomChipOptions::answerPolls, 100));
    serial.peer = [&](const ByteString& block, std::int64_t now) {
        if (block.size() > 1)
            clock.Schedule(now + 30, [&] { serial.Unplug(); });
        return chip->Receive(block, now);
    };
    const std::int64_t start = clock.NowMs();
    Connect();
    EXPECT_EQ(ld.state.LinkStatus, kLinkLost);
    EXPECT_LE(clock.NowMs() - start, 115 + 40);
}

// After a handshake: one poll per look until an answer, the time runs out or the port is gone.
TEST_F(BootHandshakeTest, PollingAfterTheHandshake)
{
    struct Case {
        const char* name;
        int answeredPoll;  // 0: none
        bool unplugged;
        std::int32_t timeoutMs;
        std::int32_t bit;
        std::int32_t status;
        std::int64_t elapsedMs;
        std::size_t polls;
    };
    const Case cases[] = {
        {"no answer", 0, false, 250, -1, kLinkLost, 250, 25},
        // The answer to poll 3 arrives during that look's pause; poll 4 precedes the look that reads it.
        {"answer to poll 3", 3, false, 5000, 0, 1, 30, 4},
        {"unplugged", 0, true, 5000, -1, kLinkLost, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceChip();
        Connect();
        ASSERT_EQ(ld.state.LinkStatus, 1);
        serial.events.clear();
        int polls = 0;
        serial.peer = [&](const ByteString&, std::int64_t) {
            return ++polls == c.answeredPoll ? ByteString{0xFE} : ByteString{};
        };
        if (c.unplugged)
            serial.Unplug();
        const std::int32_t sentBefore = ld.state.BytesSent;
        const std::int64_t start = clock.NowMs();
        EXPECT_EQ(PollBit(ld, c.timeoutMs), c.bit);
        EXPECT_EQ(ld.state.LinkStatus, c.status);
        EXPECT_EQ(serial.Writes(), std::vector<ByteString>(c.polls, ByteString{0xF9}));
        EXPECT_EQ(ld.state.BytesSent, sentBefore + static_cast<std::int32_t>(c.polls));
        EXPECT_EQ(clock.NowMs() - start, c.elapsedMs);
        ClosePort(ld);
    }
}

}  // namespace
