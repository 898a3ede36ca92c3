// The serial port as the loader uses it: opening, reset pulse, waits and the two byte queues.
#include "loader/serial_link.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "loader/pulse_encoder.h"
#include "platform/serial_control.h"

namespace {

constexpr std::int32_t kResetPulseMs = 15;
constexpr std::int32_t kAfterResetMs = 100;   // the boot ROM needs this before the calibration byte
constexpr std::int32_t kBreakHoldMs = 5000;
constexpr double kBitsPerCharacter = 10;      // start bit, 8 data bits, stop bit
constexpr std::int64_t kStallGraceMs = 2000;  // plus twice the queue's own time on the wire
constexpr std::chrono::microseconds kDrainLook{1000};  // least pause after a look that saw no progress
// The next block is handed over while this much of the last is still on the wire, so the line
// never idles while the wait wakes up (a timer wakes a few tenths of a millisecond late).
constexpr std::chrono::microseconds kKeepQueued{3000};
const char* const kLineSuffix = ",n,8,1";

std::string BaudOf(const std::string& settings)
{
    return settings.substr(0, settings.find(','));
}

// How long count characters take on the wire at the port's baud rate.
std::chrono::microseconds WireTime(const SerialControl& port, int count)
{
    const std::string baud = BaudOf(port.Settings());
    std::int64_t rate = 0;
    std::from_chars(baud.data(), baud.data() + baud.size(), rate);
    if (rate <= 0)
        return kDrainLook * count;  // no rate to go by: a millisecond a character is surely enough
    return std::chrono::microseconds(std::llround(count * kBitsPerCharacter * 1e6 / static_cast<double>(rate)));
}

// The characters that leave within kKeepQueued at the port's rate: at least one, at most half
// a block.
int KeptQueued(const SerialControl& port, std::size_t block)
{
    const auto one = WireTime(port, 1);
    const auto count = one.count() > 0 ? kKeepQueued / one : 1;
    return static_cast<int>(std::clamp<std::int64_t>(count, 1, static_cast<std::int64_t>(block / 2)));
}

// Waits until the port holds at most keep characters not yet transmitted, sleeping until the
// rest should have left. A port that failed (unplugged) never drains, so the wait ends as soon
// as the port no longer counts as open; nor does one whose far end stopped taking data, so a
// count that has not gone down for a generous while closes the port as an unplug would.
void WaitForDrain(Loader& ld, SerialControl& port, int keep)
{
    using std::chrono::milliseconds;
    int count = port.OutBufferCount();
    std::int64_t lastDropMs = ld.clock.NowMs();
    bool dropped = true;
    while (port.PortOpen() && count > keep) {
        const auto queued = WireTime(port, count);
        const std::int64_t limitMs = kStallGraceMs + 2 * std::chrono::ceil<milliseconds>(queued).count();
        const std::int64_t stalledMs = ld.clock.NowMs() - lastDropMs;
        if (stalledMs >= limitMs) {
            ld.linkLog.Write("output stalled: " + std::to_string(count) + " bytes not taken in " +
                             std::to_string(stalledMs) + " ms, so the port counts as lost");
            // What is queued can never leave; dropping it lets the port close at once.
            port.ClearOutBuffer();
            ClosePort(ld);
            return;
        }
        // A look that saw no progress (an adapter slower than its rate) waits at least a
        // millisecond, so a count that stays put is not watched in a tight loop.
        const auto toGo = WireTime(port, count - keep);
        const auto pause = dropped ? toGo : std::max(toGo, kDrainLook);
        PumpEvents(ld, std::min<std::chrono::microseconds>(pause, milliseconds(limitMs - stalledMs)));
        const int now = port.OutBufferCount();
        dropped = now < count;
        if (dropped)
            lastDropMs = ld.clock.NowMs();
        count = now;
    }
}

std::size_t BlockSize(const SerialControl& port)
{
    return static_cast<std::size_t>(std::max(1, port.OutBufferSize()));
}

// Hands the first n queued bytes to the port.
void WriteBlock(LoaderState& s, SerialControl& port, std::size_t n)
{
    const auto end = s.TxBuffer.begin() + static_cast<std::ptrdiff_t>(n);
    port.Output(ByteString(s.TxBuffer.begin(), end));
    s.TxBuffer.erase(s.TxBuffer.begin(), end);
}

}  // namespace

SerialControl& Port(Loader& ld)
{
    return ld.frmPellik.SerialPort();
}

void PumpEvents(Loader& ld, std::chrono::microseconds wait)
{
    ld.listening = true;
    ld.clock.RunEvents(wait);
    ld.listening = false;
}

bool OpenPort(Loader& ld, std::int32_t port, const std::string& baud)
{
    SerialControl& sp = Port(ld);
    ld.openFailure.clear();
    if (sp.CommPort() != port || BaudOf(sp.Settings()) != baud)
        ClosePort(ld);
    if (sp.PortOpen())
        return true;  // already open with this port and baud: leave it and the window alone
    // A number the control cannot hold names no device: it must never wrap onto another port.
    if (port < 1 || port > SerialControl::kHighestPort) {
        ld.openFailure = "COM" + std::to_string(port) + ": not in the port map's range (1 to " +
                         std::to_string(SerialControl::kHighestPort) + ")";
        ld.linkLog.Write(ld.openFailure);
        return false;
    }

    // Refusals are not errors here; whether the port opened is read back below.
    sp.SetCommPort(static_cast<std::int16_t>(port));
    sp.SetSettings(baud + kLineSuffix);
    sp.SetPortOpen(true);
    if (!sp.PortOpen()) {
        ld.openFailure = sp.OpenFailure();
        return false;
    }

    ld.frmPellik.SetClosePortEnabled(true);
    ld.frmPellik.SetPortText(std::to_string(sp.CommPort()));
    ld.frmPellik.SetBaudText(BaudOf(sp.Settings()));
    return true;
}

void ClosePort(Loader& ld)
{
    SerialControl& sp = Port(ld);
    if (sp.PortOpen())
        sp.SetPortOpen(false);
    ld.frmPellik.SetClosePortEnabled(false);
}

void AbandonPort(SerialControl& port)
{
    port.SetBreak(false);
    port.SetDTREnable(false);
    port.ClearOutBuffer();
    port.SetPortOpen(false);
}

bool ChangeBaud(Loader& ld, const std::string& baud)
{
    SerialControl& sp = Port(ld);
    sp.SetSettings(baud + kLineSuffix);
    return BaudOf(sp.Settings()) == baud;
}

std::string BaudInForce(Loader& ld)
{
    return BaudOf(Port(ld).Settings());
}

void ResetChip(Loader& ld)
{
    SerialControl& sp = Port(ld);
    if (ld.state.UseBreakReset) {
        sp.SetBreak(true);
        Delay(ld, kBreakHoldMs);
        sp.SetDTREnable(true);
        Delay(ld, kResetPulseMs);
        sp.SetBreak(false);
        sp.SetDTREnable(false);
    } else {
        sp.SetDTREnable(true);
        Delay(ld, kResetPulseMs);
        sp.SetDTREnable(false);
    }
    Delay(ld, kAfterResetMs);
}

void Delay(Loader& ld, std::int32_t ms)
{
    const std::int64_t start = ld.clock.NowMs();
    for (;;) {
        const std::int64_t left = ms - (ld.clock.NowMs() - start);
        if (left <= 0)
            return;
        PumpEvents(ld, std::chrono::milliseconds(left));
    }
}

void QueueRawByte(Loader& ld, std::int32_t value)
{
    FlushBits(ld);
    ld.state.TxBuffer.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void SendBitByte(Loader& ld, std::int32_t bit)
{
    QueueRawByte(ld, 0xFE | (bit & 1));
}

void FlushOutput(Loader& ld)
{
    FlushBits(ld);
    LoaderState& s = ld.state;
    s.BytesSent += static_cast<std::int32_t>(s.TxBuffer.size());
    SerialControl& sp = Port(ld);
    const std::size_t block = BlockSize(sp);
    while (!s.TxBuffer.empty()) {
        WaitForDrain(ld, sp, KeptQueued(sp, block));
        if (!sp.PortOpen()) {
            // The link is gone: what is left can never be sent, so it is not counted either.
            s.BytesSent -= static_cast<std::int32_t>(s.TxBuffer.size());
            s.TxBuffer.clear();
            return;
        }
        WriteBlock(s, sp, std::min(block, s.TxBuffer.size()));
    }
}

void FlushFullBlocks(Loader& ld)
{
    LoaderState& s = ld.state;
    SerialControl& sp = Port(ld);
    const std::size_t block = BlockSize(sp);
    while (s.TxBuffer.size() >= block) {
        WaitForDrain(ld, sp, KeptQueued(sp, block));
        if (!sp.PortOpen()) {
            s.TxBuffer.clear();
            return;
        }
        WriteBlock(s, sp, block);
        s.BytesSent += static_cast<std::int32_t>(block);
    }
}

void SerialPort_OnComm(Loader& ld)
{
    SerialControl& sp = Port(ld);
    if (sp.CommEvent() == SerialControl::kCommEventReceive) {
        // Read in any case, so nothing piles up in the control while nobody listens.
        const ByteString data = sp.Input();
        if (ld.listening)
            AppendReceived(ld, data);
        else if (ld.receiver)
            ld.receiver(data);
        return;
    }
    // The control closes a port that failed on its own (unplugged); Close Port follows it.
    if (!sp.PortOpen())
        ld.frmPellik.SetClosePortEnabled(false);
}

void AppendReceived(Loader& ld, const ByteString& data)
{
    ld.state.RxBuffer.insert(ld.state.RxBuffer.end(), data.begin(), data.end());
}

std::int32_t ReadByte(Loader& ld)
{
    ByteString& rx = ld.state.RxBuffer;
    if (rx.empty())
        return -1;
    const std::int32_t value = rx.front();
    rx.erase(rx.begin());
    return value;
}
