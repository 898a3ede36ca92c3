// The chip reads bits as low-pulse widths: characters made from level texts by hand.
#include <gtest/gtest.h>

#include "tests/tools/chip_test_support.h"
#include "tools/line_decoder.h"

namespace {

struct CharacterCase {
    const char* levels;
    std::vector<int> widths;
};

std::vector<int> Bits(const std::vector<int>& widths)
{
    std::vector<int> bits;
    for (const int width : widths)
        bits.push_back(LineDecoder::BitOfWidth(width));
    return bits;
}

}  // namespace

TEST(LineDecoder, LevelsOfACharacterAreStartDataLsbFirstStop)
{
    EXPECT_EQ(LineDecoder::Levels(0xF9), "0100111111");
    EXPECT_EQ(LineDecoder::Levels(0xFE), "0011111111");
    EXPECT_EQ(LineDecoder::Levels(0xFF), "0111111111");
    EXPECT_EQ(LineDecoder::Levels(0x00), "0000000001");
    EXPECT_EQ(LineDecoder::Levels(0x29), "0100101001");
}

TEST(LineDecoder, MeasuresEveryLowPulseOfACharacter)
{
    const CharacterCase cases[] = {
        {"0111111111", {1}},           // a 1 bit alone
        {"0011111111", {2}},           // a 0 bit alone
        {"0100111111", {1, 2}},        // the calibration character
        {"0110110111", {1, 1, 1}},     // three 1 bits, three bit times each
        {"0010010011", {2, 2, 2}},     // three 0 bits
        {"0100101001", {1, 2, 1, 2}},  // packed tightly: highs of one bit time
        {"0010100101", {2, 1, 2, 1}},
        {"0001111111", {3}},           // too wide for any bit
        {"0000000001", {9}},
        {"0101010101", {1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        LineDecoder decoder;
        EXPECT_EQ(decoder.FeedCharacter(CharFromLevels(c.levels)), c.widths) << c.levels;
    }
}

TEST(LineDecoder, WidthOneIsAOneWidthTwoAZeroAndAnyOtherWidthNoBit)
{
    EXPECT_EQ(Bits({1, 2, 3, 0, 4, 9}), (std::vector<int>{1, 0, -1, -1, -1, -1}));
}

TEST(LineDecoder, HighStretchesOfAnyLengthSeparatePulses)
{
    LineDecoder decoder;
    EXPECT_EQ(decoder.Feed("01" "1111111111111111111111" "001" "1" "01"), (std::vector<int>{1, 2, 1}));
}

TEST(LineDecoder, APulseStillLowAtTheEndCarriesOverAndResetForgetsIt)
{
    LineDecoder decoder;
    EXPECT_TRUE(decoder.Feed("110").empty());
    EXPECT_EQ(decoder.Feed("01"), std::vector<int>{2});
    EXPECT_TRUE(decoder.Feed("0").empty());
    decoder.Reset();
    EXPECT_EQ(decoder.Feed("01"), std::vector<int>{1});
}
