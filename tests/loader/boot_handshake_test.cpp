// The handshake against a chip model built from the protocol itself, the answer waits and their
// LinkStatus outcomes, and the behaviour on slow and on failing ports.
#include <algorithm>

#include "loader/boot_handshake.h"
#include "loader/serial_link.h"
#include "tests/loader/link_test_support.h"
#include "tests/support/loader_fixture.h"

namespace {

using linktest::BitsOf;
using linktest::ChipAnswer;
using linktest::LfsrSequence;

const char* const kFirstSent = "0101 1100 1111 0101 1111 0001 1100 1010";     // bits 1..32
const char* const kFirstExpected = "0100 0010 1110 0111 1010 1111 1000 1110";  // bits 251..282

class BootHandshakeTest : public LoaderFixture {
protected:
    BootHandshakeTest() { UseWindowDefaults(); }

    // The chip answers the handshake's polls (the one block longer than a byte) all at once.
    void ChipAnswers(const ByteString& answer)
    {
        serial.peer = [answer](const ByteString& block, std::int64_t) {
            return block.size() > 1 ? answer : ByteString{};
        };
    }
    void Connect() { ConnectChip(ld, ld.state.PortNumber, ld.state.BaudText); }
};

TEST(LfsrVectors, TestSequenceMatchesTheKnownBits)
{
    const auto seq = LfsrSequence(282);
    EXPECT_EQ(std::vector<int>(seq.begin(), seq.begin() + 32), BitsOf(kFirstSent));
    EXPECT_EQ(std::vector<int>(seq.begin() + 250, seq.end()), BitsOf(kFirstExpected));
}

TEST_F(BootHandshakeTest, NextLfsrBitFollowsTheSequenceWithPeriod255)
{
    const auto seq = LfsrSequence(600);
    ld.state.LfsrState = 80;
    for (std::size_t i = 0; i < seq.size(); ++i) {
        ASSERT_EQ(NextLfsrBit(ld), seq[i]) << "bit " << i + 1;
        ASSERT_GE(ld.state.LfsrState, 0);
        ASSERT_LE(ld.state.LfsrState, 255);
        if (i >= 255) {
            ASSERT_EQ(seq[i], seq[i - 255]);
        }
    }
}

TEST_F(BootHandshakeTest, StandardTrafficIsOneCalibrationThenOneBlockOf508)
{
    ld.state.TxBuffer = {0x11};
    ld.state.PulseBits = "0010";
    ld.state.RxBuffer = {0x22};
    ld.state.BytesSent = 99;
    serial.Feed({0xFF, 0xFF});  // noise while the chip resets: dropped before the answer is read
    ChipAnswers(ChipAnswer(1));
    const std::int64_t start = clock.NowMs();
    Connect();
    EXPECT_EQ(ld.state.LinkStatus, 1);

    const auto writes = serial.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], ByteString{0xF9});
    ASSERT_EQ(writes[1].size(), 508u);
    EXPECT_EQ(ByteString(writes[1].begin(), writes[1].begin() + 8),
              (ByteString{0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE}));
    const auto seq = LfsrSequence(250);
    for (int i = 0; i < 250; ++i)
        ASSERT_EQ(writes[1][i], 0xFE | seq[i]) << i;
    for (int i = 250; i < 508; ++i)
        ASSERT_EQ(writes[1][i], 0xF9) << i;

    const auto firstWrite = std::find_if(serial.events.begin(), serial.events.end(),
                                         [](const auto& e) { return e.kind == FakeSerial::Event::Write; });
    EXPECT_EQ(firstWrite->atMs - start, 115);  // right after the reset
    EXPECT_EQ(ld.state.BytesSent, 509);
    EXPECT_TRUE(ld.state.RxBuffer.empty());
    EXPECT_TRUE(ld.state.TxBuffer.empty());
    EXPECT_EQ(form.state.txtPort, "3");
}

ByteString Concat(ByteString a, const ByteString& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ByteString Front(const ByteString& bytes, std::size_t n)
{
    return ByteString(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

TEST_F(BootHandshakeTest, OutcomesOfTheChipsAnswer)
{
    struct Case {
        const char* name;
        ByteString answer;
        std::int32_t status;
        std::size_t unread;  // answer bytes left in RxBuffer; kAny: not checked
    };
    constexpr std::size_t kAny = ~std::size_t{0};
    const std::vector<Case> cases = {
        {"version 1", ChipAnswer(1), 1, 0},
        {"version 2", ChipAnswer(2), kLinkNoChip, 0},
        {"version 0", ChipAnswer(0), kLinkNoChip, 0},
        {"version 129", ChipAnswer(129), kLinkNoChip, 0},
        {"wrong 17th bit", ChipAnswer(1, 17), kLinkNoChip, 258 - 17},
        {"wrong last bit", ChipAnswer(1, 250), kLinkNoChip, 8},
        {"three stray bytes first", Concat(ByteString(3, 0x00), ChipAnswer(1)), 1, 0},
        {"ten stray bytes use up the first wait", Concat(ByteString(10, 0x00), ChipAnswer(1)), kLinkNoChip, kAny},
        {"no version", Front(ChipAnswer(1), 250), kLinkNoChip, 0},
        {"silence", {}, kLinkNoChip, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChipAnswers(c.answer);
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, c.status);
        if (c.unread != kAny) {
            EXPECT_EQ(ld.state.RxBuffer.size(), c.unread);
        }
    }
}

TEST_F(BootHandshakeTest, SilenceEndsAfterTenLooksOfTheFirstWait)
{
    const std::int64_t start = clock.NowMs();
    Connect();
    EXPECT_EQ(ld.state.LinkStatus, kLinkNoChip);
    EXPECT_EQ(clock.NowMs() - start, 115 + 100);
    EXPECT_EQ(clock.pumps, 2 + 10);  // the reset's two delays, then one pause per look
}

TEST_F(BootHandshakeTest, DensePackingSendsTheSameBitsAndSucceeds)
{
    ld.state.OnePattern = "01";
    ChipAnswers(ChipAnswer(1));
    Connect();
    EXPECT_EQ(ld.state.LinkStatus, 1);
    const auto writes = serial.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], ByteString{0xF9});
    const ByteString& block = writes[1];
    ASSERT_GT(block.size(), 258u);
    const ByteString bits(block.begin(), block.end() - 258);
    EXPECT_EQ(linktest::DecodeLine(bits), LfsrSequence(250));
    EXPECT_LT(bits.size(), 250u);
    EXPECT_EQ(ByteString(block.end() - 258, block.end()), ByteString(258, 0xF9));
}

// At low rates the 508 handshake bytes take longer than the first answer wait; that time must
// not count against the chip.
TEST_F(BootHandshakeTest, SucceedsAtEveryRateWhenTheWireTakesItsTime)
{
    serial.modelWireTime = true;
    ChipAnswers(ChipAnswer(1));
    for (const char* baud : {"4800", "9600", "115200"}) {
        SCOPED_TRACE(baud);
        ld.state.BaudText = baud;
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, 1);
        EXPECT_EQ(form.state.txtBaud, baud);
    }
}

TEST_F(BootHandshakeTest, UnpluggedAdapterEndsTheHandshakeAtOnceAsLinkLost)
{
    struct Case {
        const char* name;
        std::int64_t failAfterBytes;  // -1: unplug 30 ms after the answer began
        std::size_t answerBits;
        std::int64_t maxMs;           // from the end of the reset
    };
    const std::vector<Case> cases = {
        {"during the 508-byte write", 509, 258, 0},
        {"after 100 answer bits", -1, 100, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClosePort(ld);
        serial.failAfterBytes = c.failAfterBytes;
        const ByteString answer = Front(ChipAnswer(1), c.answerBits);
        serial.peer = [&, answer](const ByteString& block, std::int64_t now) {
            if (block.size() > 1 && c.failAfterBytes < 0)
                clock.Schedule(now + 30, [&] { serial.Unplug(); });
            return block.size() > 1 ? answer : ByteString{};
        };
        const std::int64_t start = clock.NowMs();
        Connect();
        EXPECT_EQ(ld.state.LinkStatus, kLinkLost);
        EXPECT_LE(clock.NowMs() - start - 115, c.maxMs);
    }
}

TEST_F(BootHandshakeTest, ResponseBitsAreFeAndFfOnly)
{
    const std::vector<std::pair<ByteString, std::int32_t>> cases = {
        {{0xFE}, 0}, {{0xFF}, 1}, {{0x00}, -1}, {{0xF9}, -1}, {{0x7F}, -1}, {{}, -1}};
    for (const auto& [bytes, bit] : cases) {
        ld.state.RxBuffer = bytes;
        EXPECT_EQ(ReadResponseBit(ld), bit);
        EXPECT_TRUE(ld.state.RxBuffer.empty());  // a stray byte is used up too
    }
}

TEST_F(BootHandshakeTest, WaitOfNoTimeMakesNoLook)
{
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
        {kLinkHandshaking, kLinkNoChip}, {1, kLinkLost}, {kLinkNoChip, kLinkLost}};
    for (auto wait : {WaitBit, PollBit}) {
        for (const auto& [before, after] : cases) {
            for (std::int32_t timeout : {0, -10}) {
                ld.state.LinkStatus = before;
                ld.state.RxBuffer = {0xFF};
                EXPECT_EQ(wait(ld, timeout), -1);
                EXPECT_EQ(ld.state.LinkStatus, after);
                EXPECT_EQ(ld.state.RxBuffer, ByteString{0xFF});
            }
        }
    }
    EXPECT_EQ(clock.pumps, 0);
    EXPECT_TRUE(serial.Writes().empty());
}

class AfterHandshakeTest : public BootHandshakeTest {
protected:
    void SetUp() override
    {
        ChipAnswers(ChipAnswer(1));
        Connect();
        ASSERT_EQ(ld.state.LinkStatus, 1);
        serial.events.clear();
        serial.peer = nullptr;
    }
};

TEST_F(AfterHandshakeTest, PollingWithoutAnAnswerSends25PollsThenReportsLinkLost)
{
    const std::int32_t sentBefore = ld.state.BytesSent;
    const std::int64_t start = clock.NowMs();
    EXPECT_EQ(PollBit(ld, 250), -1);
    EXPECT_EQ(ld.state.LinkStatus, kLinkLost);
    EXPECT_EQ(serial.Writes(), std::vector<ByteString>(25, ByteString{0xF9}));
    EXPECT_EQ(ld.state.BytesSent, sentBefore + 25);
    EXPECT_EQ(clock.NowMs() - start, 250);
}

TEST_F(AfterHandshakeTest, PollingStopsAtTheFirstAnswer)
{
    int polls = 0;
    serial.peer = [&](const ByteString&, std::int64_t) { return ++polls == 3 ? ByteString{0xFE} : ByteString{}; };
    const std::int64_t start = clock.NowMs();
    EXPECT_EQ(PollBit(ld, 5000), 0);
    // The answer to poll 3 arrives during that look's pause; poll 4 precedes the look that reads it.
    EXPECT_EQ(polls, 4);
    EXPECT_EQ(clock.NowMs() - start, 30);
    EXPECT_EQ(ld.state.LinkStatus, 1);
}

TEST_F(AfterHandshakeTest, WaitingOnAnUnpluggedPortEndsAtOnce)
{
    serial.Unplug();
    const std::int64_t start = clock.NowMs();
    EXPECT_EQ(PollBit(ld, 5000), -1);
    EXPECT_EQ(ld.state.LinkStatus, kLinkLost);
    EXPECT_EQ(clock.NowMs(), start);
    EXPECT_TRUE(serial.Writes().empty());
}

}  // namespace
