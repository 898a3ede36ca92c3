// Builds what a host puts on the wire for the virtual chip's tests, by hand: characters from
// level texts, one character per bit, and the handshake's bits.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/chip_options.h"
#include "tools/rom_chip.h"

using Bytes = std::vector<std::uint8_t>;

// The character whose 10 levels (start, 8 data bits LSB first, stop) are the given text.
inline std::uint8_t CharFromLevels(const std::string& levels)
{
    EXPECT_TRUE(levels.size() == 10 && levels.front() == '0' && levels.back() == '1') << levels;
    std::uint8_t value = 0;
    for (int i = 0; i < 8; ++i)
        if (levels.at(1 + i) == '1')
            value |= std::uint8_t(1u << i);
    return value;
}

// Bits first to first + count - 1 of the handshake sequence (bit 1 is the first one sent).
inline std::vector<int> HandshakeBits(int first, int count)
{
    BootLfsr lfsr;
    for (int i = 1; i < first; ++i)
        lfsr.Next();
    std::vector<int> bits;
    for (int i = 0; i < count; ++i)
        bits.push_back(lfsr.Next());
    return bits;
}

// One character per bit: FE for 0, FF for 1.
inline Bytes BitCharacters(const std::vector<int>& bits)
{
    Bytes out;
    for (const int bit : bits)
        out.push_back(bit ? 0xFF : 0xFE);
    return out;
}

// The bytes as one-bit characters, least significant bit first.
inline Bytes ImageCharacters(const Bytes& image)
{
    std::vector<int> bits;
    for (const std::uint8_t byte : image)
        for (int i = 0; i < 8; ++i)
            bits.push_back((byte >> i) & 1);
    return BitCharacters(bits);
}

inline Bytes LongCharacters(std::uint32_t value)
{
    return ImageCharacters({std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                            std::uint8_t(value >> 24)});
}

inline Bytes Polls(int count) { return Bytes(std::size_t(count), 0xF9); }

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Runs a standard handshake at timeMs and returns the answers.
inline Bytes Handshake(RomChip& chip, std::int64_t timeMs)
{
    EXPECT_TRUE(chip.Receive({0xF9}, timeMs).empty());
    return chip.Receive(Concat({BitCharacters(HandshakeBits(1, 250)), Polls(258)}), timeMs + 1);
}

// Answers to the 258 polls of a chip of the given version.
inline Bytes ExpectedHandshakeAnswers(int version = 1)
{
    Bytes answers = BitCharacters(HandshakeBits(251, 250));
    for (int i = 0; i < 8; ++i)
        answers.push_back(std::uint8_t(0xFE | ((version >> i) & 1)));
    return answers;
}

