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
    const bool standardPacking = ld.state.OnePattern == "011";
    ld.state.LfsrState = kLfsrSeed;
    for (int i = 0; i < kHandshakeBits; ++i) {
        const std::int32_t bit = NextLfsrBit(ld);
        if (standardPacking)
            SendBitByte(ld, bit);
        else
            SendBit(ld, bit);
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
        // A timeout has already set its own status; only a wrong bit is decided here.
        if (answer != expected && s.LinkStatus == kLinkHandshaking)
            s.LinkStatus = kLinkNoChip;
    }

    std::int32_t version = 0;
    for (int i = 0; i < kVersionBits && s.LinkStatus == kLinkHandshaking; ++i)
        version = WaitBit(ld, kVersionBitWaitMs) * 128 + version / 2;
    if (s.LinkStatus == kLinkHandshaking)
        s.LinkStatus = version == kChipVersion ? kChipVersion : kLinkNoChip;
}

}  // namespace

void ConnectChip(Loader& ld, std::int32_t port, const std::string& baud)
{
    LoaderState& s = ld.state;
    s.LinkStatus = kLinkHandshaking;
    if (!OpenPort(ld, port, baud)) {
        s.LinkStatus = kLinkNoChip;
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

std::int32_t WaitBit(Loader& ld, std::int32_t timeoutMs)
{
    return AwaitBit(ld, timeoutMs, false);
}

std::int32_t PollBit(Loader& ld, std::int32_t timeoutMs)
{
    return AwaitBit(ld, timeoutMs, true);
}
