// Bits to line levels to serial characters. Character 1 of the pending levels is always a low
// level and becomes the start bit; only high stretches may grow when a character is cut.
#include "loader/pulse_encoder.h"

namespace {

constexpr std::size_t kFrameLevels = 9;  // start bit plus 8 data bits
const char* const kLongLow = "00";       // a 0 bit's low pulse must not be split by a stop bit

std::uint8_t PackData(const std::string& data)
{
    unsigned value = 0;
    for (char level : data) {
        value /= 2;
        if (level == '1')
            value |= 0x80;
    }
    return static_cast<std::uint8_t>(value);
}

// Cuts whole characters off the front of the pending levels until at most 8 remain.
void PackPendingLevels(LoaderState& s)
{
    std::string& levels = s.PulseBits;
    while (levels.size() >= kFrameLevels) {
        std::string data;
        std::size_t consumed = 0;
        if (levels.size() == kFrameLevels) {
            data = levels.substr(1, 8);
            consumed = 9;
        } else if (levels.compare(8, 2, kLongLow) == 0) {
            // Level 9 starts a two-time low: it becomes the next start bit, a forced high fills in.
            data = levels.substr(1, 7) + "1";
            consumed = 8;
        } else {
            // Level 10 is high and goes out as the stop bit.
            data = levels.substr(1, 8);
            consumed = 10;
        }
        s.TxBuffer.push_back(PackData(data));
        levels.erase(0, consumed);
    }
}

}  // namespace

void SendBit(Loader& ld, std::int32_t bit)
{
    AppendPulse(ld, bit == 0 ? 0 : 1);
}

void SendByte(Loader& ld, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 8; ++i)
        AppendPulse(ld, (bits >> i) & 1u ? 1 : 0);
}

void SendLong(Loader& ld, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        SendByte(ld, static_cast<std::int32_t>((value >> shift) & 0xFF));
}

void AppendPulse(Loader& ld, std::int32_t code)
{
    LoaderState& s = ld.state;
    if (code == 0)
        s.PulseBits += s.ZeroPattern;
    else if (code == 1)
        s.PulseBits += s.OnePattern;
    PackPendingLevels(s);
}

void FlushBits(Loader& ld)
{
    std::string& levels = ld.state.PulseBits;
    // Padding with high levels only lengthens the last high stretch, which the chip ignores.
    while (!levels.empty()) {
        if (levels.size() < kFrameLevels)
            levels.append(kFrameLevels - levels.size(), '1');
        AppendPulse(ld, -1);
    }
}
