#include "tools/rom_checksum.h"

namespace {

constexpr std::size_t kStackMarkerAt = 0x000A;       // word: the address the markers sit below
constexpr std::uint32_t kStackMarker = 0xFFF9FFFF;   // written twice below that address

}  // namespace

bool RomChecksumOk(const std::vector<std::uint8_t>& image)
{
    if (image.size() > kRamBytes)
        return false;
    std::vector<std::uint8_t> ram(kRamBytes, 0);
    std::copy(image.begin(), image.end(), ram.begin());

    const long address = ram[kStackMarkerAt] | ram[kStackMarkerAt + 1] << 8;
    for (long i = 0; i < 8; ++i) {
        const long at = address - 8 + i;
        // An address near the ends of RAM would put the markers outside it; those bytes are dropped.
        if (at >= 0 && at < static_cast<long>(kRamBytes))
            ram[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(kStackMarker >> (8 * (i % 4)));
    }

    unsigned sum = 0;
    for (const std::uint8_t byte : ram)
        sum += byte;
    return sum % 256 == 0;
}
