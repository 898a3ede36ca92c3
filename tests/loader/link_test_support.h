// Test-side knowledge of the boot protocol, written independently of loader/: the handshake
// sequence, the chip's answers, and a decoder that turns serial characters back into bits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "loader/loader_state.h"

namespace linktest {

// Bits 1..count of the boot ROM's sequence: an 8-stage shift register seeded with 'P', output
// from stage 0, fed back from stages 7, 5, 4 and 1.
inline std::vector<int> LfsrSequence(int count)
{
    std::array<int, 8> stage{};
    for (int i = 0; i < 8; ++i)
        stage[i] = ('P' >> i) & 1;
    std::vector<int> out;
    for (int n = 0; n < count; ++n) {
        out.push_back(stage[0]);
        const int fed = stage[7] ^ stage[5] ^ stage[4] ^ stage[1];
        for (int i = 7; i > 0; --i)
            stage[i] = stage[i - 1];
        stage[0] = fed;
    }
    return out;
}

inline std::vector<int> BitsOf(const std::string& text)
{
    std::vector<int> out;
    for (char c : text)
        if (c == '0' || c == '1')
            out.push_back(c - '0');
    return out;
}

// What a chip sends back to the 258 polls: bits 251..500 as FE/FF, then the version, low bit
// first. flipBit (1-based among the 250) makes that one answer wrong.
inline ByteString ChipAnswer(int version, int flipBit = 0)
{
    const auto seq = LfsrSequence(500);
    ByteString out;
    for (int i = 250; i < 500; ++i) {
        int bit = seq[i];
        if (i - 249 == flipBit)
            bit ^= 1;
        out.push_back(static_cast<std::uint8_t>(0xFE | bit));
    }
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(0xFE | ((version >> i) & 1)));
    return out;
}

// The line as the chip sees it (start bit, data bits low first, stop bit), read back as low
// pulses: one bit time is a 1, two a 0. Any other width yields -1 at that place.
inline std::vector<int> DecodeLine(const ByteString& bytes)
{
    std::string levels;
    for (std::uint8_t b : bytes) {
        levels += '0';
        for (int i = 0; i < 8; ++i)
            levels += ((b >> i) & 1) ? '1' : '0';
        levels += '1';
    }
    std::vector<int> bits;
    std::size_t i = 0;
    while (i < levels.size()) {
        if (levels[i] == '1') {
            ++i;
            continue;
        }
        std::size_t width = 0;
        while (i < levels.size() && levels[i] == '0') {
            ++width;
            ++i;
        }
        bits.push_back(width == 1 ? 1 : width == 2 ? 0 : -1);
    }
    return bits;
}

}  // namespace linktest
