// The serial link on virtual time: port reuse and reopening, the reset pulses, the waits, and
// the block-wise hand-over of the transmit queue.
#include "loader/boot_handshake.h"
#include "loader/serial_link.h"
#include "tests/support/loader_fixture.h"

namespace {

using Kind = FakeSerial::Event::Kind;

class SerialLinkTest : public LoaderFixture {
protected:
    void Queue(std::size_t count, std::uint8_t value = 0x92)
    {
        ld.state.TxBuffer.assign(count, value);
    }
    std::vector<std::size_t> WriteSizes() const
    {
        std::vector<std::size_t> out;
        for (const auto& w : serial.Writes())
            out.push_back(w.size());
        return out;
    }
    std::vector<std::int64_t> WriteTimes() const
    {
        std::vector<std::int64_t> out;
        for (const auto& e : serial.events)
            if (e.kind == Kind::Write)
                out.push_back(e.atMs);
        return out;
    }
};

TEST_F(SerialLinkTest, OpeningLoadsTheWindowAndShowsThePortInUse)
{
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    EXPECT_TRUE(form.Loaded());
    ASSERT_EQ(serial.opens, 1);
    EXPECT_EQ(serial.events.back().port, 3);
    EXPECT_EQ(serial.events.back().settings, "115200,n,8,1");
    EXPECT_EQ(form.state.txtPort, "3");
    EXPECT_EQ(form.state.txtBaud, "115200");
    EXPECT_TRUE(form.state.btnClosePortEnabled);
}

TEST_F(SerialLinkTest, SamePortAndBaudReusesTheOpenPortAndLeavesTheWindowAlone)
{
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    form.state.txtPort = "typed";
    form.state.txtBaud = "typed";
    form.state.btnClosePortEnabled = false;
    EXPECT_TRUE(OpenPort(ld, 3, "115200"));
    EXPECT_EQ(serial.opens, 1);
    EXPECT_EQ(serial.closes, 0);
    EXPECT_EQ(form.state.txtPort, "typed");
    EXPECT_EQ(form.state.txtBaud, "typed");
    EXPECT_FALSE(form.state.btnClosePortEnabled);
}

TEST_F(SerialLinkTest, AnotherBaudOrPortReopens)
{
    struct Case {
        std::int32_t port;
        std::string baud;
        std::int16_t openedPort;
        std::string settings;  // in force after the reopen
    };
    const std::vector<Case> cases = {
        {3, "57600", 3, "57600,n,8,1"},
        {4, "57600", 4, "57600,n,8,1"},
        {4, "057600", 4, "57600,n,8,1"},  // text compare; the refused text leaves 57600 in force
        {4, "12345", 4, "57600,n,8,1"},
    };
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    int opens = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        EXPECT_TRUE(OpenPort(ld, c.port, c.baud));
        EXPECT_EQ(serial.opens, ++opens);
        EXPECT_EQ(serial.closes, opens - 1);
        EXPECT_EQ(serial.events.back().kind, Kind::Open);
        EXPECT_EQ(serial.events.back().port, c.openedPort);
        EXPECT_EQ(serial.events.back().settings, c.settings);
        EXPECT_EQ(form.state.txtPort, std::to_string(c.openedPort));
        EXPECT_EQ(form.state.txtBaud, c.settings.substr(0, c.settings.find(',')));
    }
}

TEST_F(SerialLinkTest, PortThatCannotOpenLeavesNoChipAndTouchesNothing)
{
    ld.state.TxBuffer = {0x01};
    ld.state.RxBuffer = {0x02};
    ConnectChip(ld, 11, "115200");
    EXPECT_EQ(ld.state.LinkStatus, kLinkNoChip);
    EXPECT_FALSE(form.state.btnClosePortEnabled);
    EXPECT_EQ(ld.state.TxBuffer, ByteString{0x01});
    EXPECT_EQ(ld.state.RxBuffer, ByteString{0x02});
    EXPECT_TRUE(serial.events.empty());
}

TEST_F(SerialLinkTest, ClosePortDisablesTheButtonEvenWhenClosed)
{
    form.Use().btnClosePortEnabled = true;
    ClosePort(ld);
    EXPECT_EQ(serial.closes, 0);
    EXPECT_FALSE(form.state.btnClosePortEnabled);

    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    ClosePort(ld);
    EXPECT_EQ(serial.closes, 1);
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_FALSE(form.state.btnClosePortEnabled);
}

TEST_F(SerialLinkTest, ResetPulsesInOrderWithTheirWaits)
{
    struct Step {
        Kind kind;
        bool on;
        std::int64_t atMs;  // from the start of the reset
    };
    struct Case {
        bool useBreak;
        std::vector<Step> steps;
        std::int64_t totalMs;
    };
    const std::vector<Case> cases = {
        {false, {{Kind::Dtr, true, 0}, {Kind::Dtr, false, 15}}, 115},
        {true,
         {{Kind::Break, true, 0}, {Kind::Dtr, true, 5000}, {Kind::Break, false, 5015}, {Kind::Dtr, false, 5015}},
         5115},
    };
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.useBreak ? "break" : "dtr");
        serial.events.clear();
        ld.state.UseBreakReset = c.useBreak;
        const std::int64_t start = clock.NowMs();
        ResetChip(ld);
        EXPECT_EQ(clock.NowMs() - start, c.totalMs);
        ASSERT_EQ(serial.events.size(), c.steps.size());
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(serial.events[i].kind, c.steps[i].kind) << i;
            EXPECT_EQ(serial.events[i].on, c.steps[i].on) << i;
            EXPECT_EQ(serial.events[i].atMs - start, c.steps[i].atMs) << i;
        }
    }
}

TEST_F(SerialLinkTest, DelayOfNothingRunsNoEventsAndEventsDoNotShortenADelay)
{
    for (std::int32_t ms : {0, -5}) {
        Delay(ld, ms);
        EXPECT_EQ(clock.pumps, 0);
        EXPECT_EQ(clock.NowMs(), 1000);
    }
    int ran = 0;
    clock.Schedule(1003, [&] { ++ran; });
    Delay(ld, 10);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(clock.NowMs(), 1010);
}

TEST_F(SerialLinkTest, QueueRawByteKeepsTheLowEightBits)
{
    QueueRawByte(ld, 505);
    EXPECT_EQ(ld.state.TxBuffer, ByteString{0xF9});
}

TEST_F(SerialLinkTest, FlushOutputHandsOverDrainedBlocksCountedUpFront)
{
    struct Case {
        std::size_t queued;
        std::vector<std::size_t> writes;
    };
    const std::vector<Case> cases = {{508, {508}}, {1100, {512, 512, 76}}, {512, {512}}, {0, {}}};
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    serial.modelWireTime = true;
    std::vector<std::int32_t> countedAtWrite;
    serial.peer = [&](const ByteString&, std::int64_t) {
        countedAtWrite.push_back(ld.state.BytesSent);
        return ByteString{};
    };
    const double charMs = 10.0 * 1000.0 / 115200.0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queued);
        serial.events.clear();
        countedAtWrite.clear();
        clock.Advance(1000);  // earlier output has left
        ld.state.BytesSent = 7;
        Queue(c.queued);
        FlushOutput(ld);
        EXPECT_EQ(WriteSizes(), c.writes);
        EXPECT_TRUE(ld.state.TxBuffer.empty());
        EXPECT_EQ(ld.state.BytesSent, 7 + static_cast<std::int32_t>(c.queued));
        for (std::int32_t counted : countedAtWrite)
            EXPECT_EQ(counted, 7 + static_cast<std::int32_t>(c.queued));
        const auto times = WriteTimes();
        for (std::size_t i = 1; i < times.size(); ++i)
            EXPECT_GE(static_cast<double>(times[i] - times[i - 1]), c.writes[i - 1] * charMs);
    }
}

TEST_F(SerialLinkTest, FlushOutputPacksPendingBitsAndWaitsForEarlierOutput)
{
    ASSERT_TRUE(OpenPort(ld, 3, "9600"));
    serial.modelWireTime = true;
    Queue(96);  // 100 ms on the wire at 9600 baud
    FlushOutput(ld);
    const std::int64_t firstAt = clock.NowMs();
    ld.state.ZeroPattern = "001";
    ld.state.OnePattern = "011";
    ld.state.PulseBits = "011";
    FlushOutput(ld);
    ASSERT_EQ(serial.Writes().size(), 2u);
    EXPECT_EQ(serial.Writes()[1], ByteString{0xFF});
    EXPECT_GE(WriteTimes()[1] - firstAt, 100);
    EXPECT_EQ(ld.state.BytesSent, 97);
}

TEST_F(SerialLinkTest, FlushFullBlocksSendsOnlyWholeBlocks)
{
    struct Case {
        std::size_t queued;
        std::vector<std::size_t> writes;
        std::size_t left;
    };
    const std::vector<Case> cases = {{1100, {512, 512}, 76}, {512, {512}, 0}, {511, {}, 511}};
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    serial.modelWireTime = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queued);
        serial.events.clear();
        ld.state.BytesSent = 0;
        ld.state.PulseBits = "011";  // not packed: only FlushOutput and QueueRawByte do that
        Queue(c.queued);
        FlushFullBlocks(ld);
        EXPECT_EQ(WriteSizes(), c.writes);
        EXPECT_EQ(ld.state.TxBuffer.size(), c.left);
        EXPECT_EQ(ld.state.BytesSent, static_cast<std::int32_t>(c.queued - c.left));
        EXPECT_EQ(ld.state.PulseBits, "011");
    }
}

TEST_F(SerialLinkTest, ReceivedBytesQueueUpAndAreReadOneByOne)
{
    EXPECT_EQ(ReadByte(ld), -1);
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    serial.Feed({0xFE, 0xFF});
    Delay(ld, 1);
    EXPECT_EQ(ReadByte(ld), 254);
    EXPECT_EQ(ld.state.RxBuffer, ByteString{0xFF});
    EXPECT_EQ(ReadByte(ld), 255);
    EXPECT_EQ(ReadByte(ld), -1);
}

// An unplugged adapter never drains: the wait ends and the rest of the queue is dropped.
TEST_F(SerialLinkTest, UnplugDuringFlushEndsTheDrainWait)
{
    ASSERT_TRUE(OpenPort(ld, 3, "9600"));
    serial.modelWireTime = true;
    const std::int64_t start = clock.NowMs();
    clock.Schedule(start + 100, [&] { serial.Unplug(); });
    Queue(1100);
    FlushOutput(ld);
    EXPECT_EQ(WriteSizes(), std::vector<std::size_t>{512});
    EXPECT_LE(clock.NowMs() - start, 101);
    EXPECT_TRUE(ld.state.TxBuffer.empty());
    EXPECT_EQ(ld.state.BytesSent, 512);

    Queue(1100);
    FlushFullBlocks(ld);
    FlushOutput(ld);
    EXPECT_EQ(serial.Writes().size(), 1u);
    EXPECT_TRUE(ld.state.TxBuffer.empty());
    EXPECT_EQ(ld.state.BytesSent, 512);
}

}  // namespace
