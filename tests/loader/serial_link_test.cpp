// The serial link on virtual time: port reuse and reopening, the reset pulses, and the
// block-wise hand-over of the transmit queue.
#include "loader/boot_handshake.h"
#include "loader/serial_link.h"
#include "tests/support/loader_fixture.h"

namespace {

using Kind = FakeSerial::Event::Kind;

class SerialLinkTest : public LoaderFixture {
protected:
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

TEST_F(SerialLinkTest, SamePortAndBaudReuseTheOpenPortAnythingElseReopens)
{
    struct Case {
        std::int32_t port;
        std::string baud;
        bool reused;
        std::string settings;  // in force afterwards
    };
    const Case cases[] = {
        {3, "115200", false, "115200,n,8,1"},
        {3, "115200", true, "115200,n,8,1"},
        {3, "57600", false, "57600,n,8,1"},
        {4, "57600", false, "57600,n,8,1"},
        {4, "057600", false, "57600,n,8,1"},  // text compare; the refused text leaves 57600 in force
        {4, "12345", false, "57600,n,8,1"},
    };
    int opens = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.port) + " " + c.baud);
        window.Load().txtPort = window.state.txtBaud = "typed";
        window.state.btnClosePortEnabled = false;
        EXPECT_TRUE(OpenPort(ld, c.port, c.baud));
        opens += c.reused ? 0 : 1;
        EXPECT_EQ(serial.opens, opens);
        EXPECT_EQ(serial.closes, opens - 1);
        EXPECT_EQ(serial.events.back().kind, Kind::Open);
        EXPECT_EQ(serial.events.back().port, c.port);
        EXPECT_EQ(serial.events.back().settings, c.settings);
        // A reused port leaves the window alone; an opened one shows what is in use.
        EXPECT_EQ(window.state.txtPort, c.reused ? "typed" : std::to_string(c.port));
        EXPECT_EQ(window.state.txtBaud, c.reused ? "typed" : c.settings.substr(0, c.settings.find(',')));
        EXPECT_EQ(window.state.btnClosePortEnabled, !c.reused);
    }
    // A port that fails on its own (unplugged) disables the button as closing does.
    serial.Unplug();
    EXPECT_FALSE(window.state.btnClosePortEnabled);
    EXPECT_TRUE(OpenPort(ld, 4, "57600"));
    // Closing disables the button, even when the port is closed already (an unplugged adapter).
    for (int round = 0; round < 2; ++round) {
        window.state.btnClosePortEnabled = true;
        ClosePort(ld);
        EXPECT_EQ(serial.closes, opens);
        EXPECT_FALSE(serial.PortOpen());
        EXPECT_FALSE(window.state.btnClosePortEnabled);
    }
}

// A number the control's 16-bit port cannot hold must not wrap onto another port (65540 is 4).
TEST_F(SerialLinkTest, PortNumbersBeyondWhatTheControlHoldsOpenNothing)
{
    serial.openablePorts.insert(32767);
    for (std::int32_t port : {65540, -65532, 32768, 0, -1, 2147483647}) {
        EXPECT_FALSE(OpenPort(ld, port, "115200")) << port;
        EXPECT_EQ(serial.opens, 0) << port;
    }
    EXPECT_TRUE(OpenPort(ld, 32767, "115200"));
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
    const Case cases[] = {
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

// FlushOutput counts everything up front and hands over drained blocks; FlushFullBlocks sends
// whole blocks only and leaves the pending levels unpacked.
TEST_F(SerialLinkTest, FlushesHandOverDrainedBlocks)
{
    struct Case {
        bool fullOnly;
        std::size_t queued;
        std::vector<std::size_t> writes;
        std::size_t left;
    };
    const Case cases[] = {{false, 508, {508}, 0}, {false, 1100, {512, 512, 76}, 0}, {false, 512, {512}, 0},
                          {false, 0, {}, 0},      {true, 1100, {512, 512}, 76},     {true, 512, {512}, 0},
                          {true, 511, {}, 511}};
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    serial.modelWireTime = true;
    std::vector<std::int32_t> countedAtWrite;
    serial.peer = [&](const ByteString&, std::int64_t) {
        countedAtWrite.push_back(ld.state.BytesSent);
        return ByteString{};
    };
    const double charMs = 10.0 * 1000.0 / 115200.0;
    for (const auto& c : cases) {
        SCOPED_TRACE((c.fullOnly ? "full blocks " : "output ") + std::to_string(c.queued));
        serial.events.clear();
        const int pumpsBefore = clock.pumps;
        countedAtWrite.clear();
        clock.Advance(1000);  // earlier output has left
        ld.state.BytesSent = 7;
        ld.state.PulseBits = c.fullOnly ? "011" : "";
        ld.state.TxBuffer.assign(c.queued, 0x92);
        c.fullOnly ? FlushFullBlocks(ld) : FlushOutput(ld);
        EXPECT_EQ(WriteSizes(), c.writes);
        EXPECT_EQ(ld.state.TxBuffer.size(), c.left);
        EXPECT_EQ(ld.state.BytesSent, static_cast<std::int32_t>(7 + c.queued - c.left));
        EXPECT_EQ(ld.state.PulseBits, c.fullOnly ? "011" : "");
        if (!c.fullOnly) {
            for (std::int32_t counted : countedAtWrite)
                EXPECT_EQ(counted, static_cast<std::int32_t>(7 + c.queued));
        }
        // The next block goes out while the last few milliseconds of the one before still leave,
        // so the line never idles between blocks.
        const auto times = WriteTimes();
        double onTheWireMs = 0;  // what the blocks before write i take to leave
        for (std::size_t i = 1; i < times.size(); ++i) {
            onTheWireMs += c.writes[i - 1] * charMs;
            EXPECT_GE(static_cast<double>(times[i] - times[0]), onTheWireMs - 4);
            EXPECT_LT(static_cast<double>(times[i] - times[0]), onTheWireMs);
        }
        // Each drain wait sleeps until its block should have left instead of looking every millisecond.
        EXPECT_LE(clock.pumps - pumpsBefore, static_cast<int>(c.writes.size())) << "pumps";
    }
}

TEST_F(SerialLinkTest, RawBytesPackPendingBitsFirstAndWaitForEarlierOutput)
{
    ASSERT_TRUE(OpenPort(ld, 3, "9600"));
    serial.modelWireTime = true;
    ld.state.TxBuffer.assign(96, 0x92);  // 100 ms on the wire at 9600 baud
    FlushOutput(ld);
    const std::int64_t firstAt = clock.NowMs();
    ld.state.ZeroPattern = "001";
    ld.state.OnePattern = "011";
    ld.state.PulseBits = "011";
    QueueRawByte(ld, 0x1F9);
    FlushOutput(ld);
    ASSERT_EQ(serial.Writes().size(), 2u);
    EXPECT_EQ(serial.Writes()[1], (ByteString{0xFF, 0xF9}));
    EXPECT_GE(WriteTimes()[1] - firstAt, 100 - 3);  // the last few characters may still be leaving
    EXPECT_EQ(ld.state.BytesSent, 98);
}

// An unplugged adapter never drains: the wait ends and the rest of the queue is dropped.
TEST_F(SerialLinkTest, UnplugDuringFlushEndsTheDrainWait)
{
    ASSERT_TRUE(OpenPort(ld, 3, "9600"));
    serial.modelWireTime = true;
    const std::int64_t start = clock.NowMs();
    clock.Schedule(start + 100, [&] { serial.Unplug(); });
    ld.state.TxBuffer.assign(1100, 0x92);
    FlushOutput(ld);
    EXPECT_EQ(WriteSizes(), std::vector<std::size_t>{512});
    EXPECT_LE(clock.NowMs() - start, 101);
    EXPECT_TRUE(ld.state.TxBuffer.empty());
    EXPECT_EQ(ld.state.BytesSent, 512);

    ld.state.TxBuffer.assign(1100, 0x92);
    FlushFullBlocks(ld);
    FlushOutput(ld);
    EXPECT_EQ(serial.Writes().size(), 1u);
    EXPECT_TRUE(ld.state.TxBuffer.empty());
    EXPECT_EQ(ld.state.BytesSent, 512);
}

// A far end that stops taking data holds the count up: after 2 s plus twice the time of what
// is queued, measured from the count's last drop, the port is closed as an unplugged one is.
// One that takes data again before that goes on.
TEST_F(SerialLinkTest, DrainThatStopsIsALostLinkAfterItsGrace)
{
    struct Case {
        const char* baud;
        std::int64_t resumeAfterMs;  // -1: never
    };
    // An adapter may pause for seconds at a low rate: 3.5 s at 4800 baud is within the grace.
    const Case cases[] = {{"115200", -1}, {"9600", -1}, {"115200", 1900}, {"9600", 2500}, {"4800", 3500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.baud) + " resumes after " + std::to_string(c.resumeAfterMs));
        ASSERT_TRUE(OpenPort(ld, 3, c.baud));
        serial.modelWireTime = true;
        serial.events.clear();
        const double blockMs = 512 * 10.0 * 1000.0 / std::stod(c.baud);
        const std::int64_t stallAt = clock.NowMs() + 10;
        serial.stallAtMs = stallAt;
        if (c.resumeAfterMs >= 0)
            clock.Schedule(stallAt + c.resumeAfterMs, [&] { serial.stallAtMs = -1; });
        // A stall that is never noticed must not hold the test up: it ends as an unplug, too late.
        clock.Schedule(stallAt + 20000, [&, stallAt] {
            if (serial.stallAtMs == stallAt)
                serial.Unplug();
        });
        ld.state.TxBuffer.assign(1100, 0x92);
        FlushOutput(ld);
        const double stalledMs = static_cast<double>(clock.NowMs() - stallAt);
        if (c.resumeAfterMs >= 0) {
            EXPECT_EQ(WriteSizes(), (std::vector<std::size_t>{512, 512, 76}));
            EXPECT_TRUE(serial.PortOpen());
        } else {
            EXPECT_EQ(WriteSizes(), std::vector<std::size_t>{512});
            EXPECT_FALSE(serial.PortOpen());
            EXPECT_FALSE(window.state.btnClosePortEnabled);
            EXPECT_TRUE(ld.state.TxBuffer.empty());
            // Not before the grace for what was left at the stall, and within one look after
            // the grace for a whole block.
            EXPECT_GE(stalledMs, 2000 + 2 * (blockMs - 10));
            EXPECT_LE(stalledMs, 2000 + 3 * blockMs + 2);
        }
        serial.stallAtMs = -1;
        ClosePort(ld);
        clock.Advance(1000);
    }
}

// Received bytes go to whoever listens: a loader wait, else the terminal, else nobody. An open
// port between two window operations keeps nothing of what the board sends.
TEST_F(SerialLinkTest, ReceivedBytesGoToWhoeverListensAndNoneAreHoarded)
{
    ASSERT_TRUE(OpenPort(ld, 3, "115200"));
    serial.Feed(ByteString(4 << 20, 0x55));
    clock.RunEvents(std::chrono::milliseconds(10));  // the window's own event loop, between operations
    EXPECT_TRUE(ld.state.RxBuffer.empty());
    serial.Feed({0xFE});
    Delay(ld, 10);
    EXPECT_EQ(ld.state.RxBuffer, ByteString{0xFE});
    ByteString relayed;
    ld.receiver = [&](const ByteString& bytes) { relayed = bytes; };
    serial.Feed({1, 2});
    clock.RunEvents(std::chrono::milliseconds(10));
    EXPECT_EQ(relayed, (ByteString{1, 2}));
    EXPECT_EQ(ld.state.RxBuffer, ByteString{0xFE});
}

}  // namespace
