// The boot ROM's handshake and the waits for the chip's answer bits.
#include "loader/boot_handshake.h"

#include "loader/pulse_encoder.h"
#include "loader/serial_link.h"
#include "platform/serial_control.h"

namespace {

constexpr std::int32_t kCalibrationByte = 0xF9;  // also the poll for one answer bit
constexpr std::int32_t kAnswerZero = 0xFE;
constexpr std::int32_t kAnswerOne = 0xFF;
constexpr std::int32_t kLfsrSeed = 'P';
constexpr int kHandshakeBits = 250;               // sent, and as many expected back
constexpr int kVersionBits = 8;
constexpr int kHandshakePolls = kHandshakeBits + kVersionBits;
constexpr std::int32_t kChipVersion = 1;
constexpr std::int32_t kHandshakeBitWaitMs = 100;
constexpr std::int32_t kVersionBitWaitMs = 50;
constexpr std::int32_t kLookMs = 10;               // pause between two looks for an answer

void SendHandshakeBits(Loader& ld)
{
    const bool dense = DensePacking(ld.state);
    ld.state.LfsrState = kLfsrSeed;
    for (int i = 0; i < kHandshakeBits; ++i) {
        const std::int32_t bit = NextLfsrBit(ld);
        if (dense)
            SendBit(ld, bit);
        else
            SendBitByte(ld, bit);
    }
    for (int i = 0; i < kHandshakePolls; ++i)
        SendCalibration(ld);
}

void ReceiveHandshakeBits(Loader& ld)
{
    LoaderState& s = ld.state;
    for (int i = 0; i < kHandshakeBits && s.LinkStatus == kLinkHandshaking; ++i) {
        const std::int32_t answer = WaitBit(ld, kHandshakeBitWaitMs);
        const std::int32_t expected = NextLfsrBit(ld);
        // A wait that brought no bit has already set its own status; only a wrong bit is decided here.
        if (answer < 0) {
            LogNoAnswer(ld, "handshake bit " + std::to_string(i + 1), kHandshakeBitWaitMs);
        } else if (answer != expected) {
            s.LinkStatus = kLinkNoChip;
            ld.linkLog.Write("handshake bit " + std::to_string(i + 1) + " was " + std::to_string(answer) +
                             ", expected " + std::to_string(expected));
        }
    }

    std::int32_t version = 0;
    for (int i = 0; i < kVersionBits && s.LinkStatus == kLinkHandshaking; ++i) {
        const std::int32_t bit = WaitBit(ld, kVersionBitWaitMs);
        if (bit < 0)
            LogNoAnswer(ld, "version bit " + std::to_string(i + 1), kVersionBitWaitMs);
        version = bit * 128 + version / 2;
    }
    if (s.LinkStatus != kLinkHandshaking)
        return;
    s.LinkStatus = version == kChipVersion ? kChipVersion : kLinkNoChip;
    if (version != kChipVersion)
        ld.linkLog.Write("the chip answered version " + std::to_string(version) + ", not " +
                         std::to_string(kChipVersion));
}

void LogHandshakeOutcome(Loader& ld, std::int32_t port, const char* why = "")
{
    const std::int32_t status = ld.state.LinkStatus;
    const std::string outcome = status >= 0            ? "chip version " + std::to_string(status) + " found"
                                : status == kLinkLost ? "link lost"
                                                      : "no chip";
    ld.linkLog.Write("COM" + std::to_string(port) + " handshake: " + outcome + why);
}

}  // namespace

void ConnectChip(Loader& ld, std::int32_t port, const std::string& baud)
{
    LoaderState& s = ld.state;
    s.LinkStatus = kLinkHandshaking;
    if (!OpenPort(ld, port, baud)) {
        s.LinkStatus = kLinkNoChip;
        LogHandshakeOutcome(ld, port, ", the port did not open");
        return;
    }
    s.TxBuffer.clear();
    s.PulseBits.clear();
    s.RxBuffer.clear();
    s.BytesSent = 0;

    ResetChip(ld);
    SendCalibration(ld);
    FlushOutput(ld);
    SendHandshakeBits(ld);
    FlushOutput(ld);
    // Anything that came before the polls could be answered is noise from the reset.
    s.RxBuffer.clear();
    ReceiveHandshakeBits(ld);
    LogHandshakeOutcome(ld, port);
}

void SendCalibration(Loader& ld)
{
    QueueRawByte(ld, kCalibrationByte);
}

std::int32_t NextLfsrBit(Loader& ld)
{
    const std::int32_t old = ld.state.LfsrState;
    const std::int32_t feedback = ((old >> 7) ^ (old >> 5) ^ (old >> 4) ^ (old >> 1)) & 1;
    ld.state.LfsrState = ((old & 127) << 1) | feedback;
    return old & 1;
}

std::int32_t ReadResponseBit(Loader& ld)
{
    switch (ReadByte(ld)) {
    case kAnswerZero:
        return 0;
    case kAnswerOne:
        return 1;
    default:
        return -1;
    }
}

std::int32_t AwaitBit(Loader& ld, std::int32_t timeoutMs, bool poll)
{
    SerialControl& sp = Port(ld);
    std::int32_t result = -1;
    bool paused = false;
    while (timeoutMs > 0 && result < 0) {
        if (!sp.PortOpen())
            break;  // an unplugged adapter never answers: no point waiting out the time limit
        if (poll) {
            SendCalibration(ld);
            FlushOutput(ld);
        }
        result = ReadResponseBit(ld);
        if (result < 0) {
            Delay(ld, kLookMs);
            paused = true;
        }
        // The chip cannot answer before our own output has left: at low baud rates the
        // handshake's 508 bytes outlast the first wait. A poll wait's flush has already waited
        // for earlier output, and its own poll must not stop the clock at very low rates.
        if (poll || sp.OutBufferCount() == 0)
            timeoutMs -= kLookMs;
    }
    // An answer to the last poll arrives during the last pause; it is in time and is taken.
    if (result < 0 && paused && sp.PortOpen())
        result = ReadResponseBit(ld);
    if (result >= 0)
        return result;
    LoaderState& s = ld.state;
    // Looked at again here: a port that failed during the last pause has failed all the same.
    s.LinkStatus = (s.LinkStatus == kLinkHandshaking && sp.PortOpen()) ? kLinkNoChip : kLinkLost;
    return -1;
}

void LogNoAnswer(Loader& ld, const std::string& what, std::int32_t waitMs)
{
    ld.linkLog.Write(what + (Port(ld).PortOpen() ? ": no answer within " + std::to_string(waitMs) + " ms"
                                                 : ": the port failed while waiting"));
}

std::int32_t WaitBit(Loader& ld, std::int32_t timeoutMs)
{
    return AwaitBit(ld, timeoutMs, false);
}

std::int32_t PollBit(Loader& ld, std::int32_t timeoutMs)
{
    return AwaitBit(ld, timeoutMs, true);
}
