#include "tests/tools/chip_test_support.h"

#include <gtest/gtest.h>

#include "tools/boot_lfsr.h"

std::uint8_t CharFromLevels(const std::string& levels)
{
    EXPECT_EQ(levels.size(), 10u) << levels;
    EXPECT_EQ(levels.front(), '0') << "start bit of " << levels;
    EXPECT_EQ(levels.back(), '1') << "stop bit of " << levels;
    std::uint8_t value = 0;
    for (int i = 0; i < 8; ++i)
        if (levels.at(1 + i) == '1')
            value |= std::uint8_t(1u << i);
    return value;
}

Bytes CharsFromLevels(const std::vector<std::string>& levels)
{
    Bytes out;
    for (const auto& text : levels)
        out.push_back(CharFromLevels(text));
    return out;
}

std::vector<int> HandshakeBits(int first, int count)
{
    BootLfsr lfsr;
    for (int i = 1; i < first; ++i)
        lfsr.Next();
    std::vector<int> bits;
    for (int i = 0; i < count; ++i)
        bits.push_back(lfsr.Next());
    return bits;
}

Bytes BitCharacters(const std::vector<int>& bits)
{
    Bytes out;
    for (const int bit : bits)
        out.push_back(bit ? 0xFF : 0xFE);
    return out;
}

Bytes LongCharacters(std::uint32_t value)
{
    std::vector<int> bits;
    for (int i = 0; i < 32; ++i)
        bits.push_back((value >> i) & 1);
    return BitCharacters(bits);
}

Bytes ImageCharacters(const Bytes& image)
{
    std::vector<int> bits;
    for (const std::uint8_t byte : image)
        for (int i = 0; i < 8; ++i)
            bits.push_back((byte >> i) & 1);
    return BitCharacters(bits);
}

Bytes Polls(int count)
{
    return Bytes(std::size_t(count), 0xF9);
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Handshake(RomChip& chip, std::int64_t timeMs)
{
    Bytes answers = chip.Receive({0xF9}, timeMs);
    EXPECT_TRUE(answers.empty());
    const Bytes more = chip.Receive(Concat({BitCharacters(HandshakeBits(1, 250)), Polls(258)}), timeMs + 1);
    answers.insert(answers.end(), more.begin(), more.end());
    return answers;
}

Bytes ExpectedHandshakeAnswers(int version)
{
    Bytes answers = BitCharacters(HandshakeBits(251, 250));
    for (int i = 0; i < 8; ++i)
        answers.push_back(std::uint8_t(0xFE | ((version >> i) & 1)));
    return answers;
}
