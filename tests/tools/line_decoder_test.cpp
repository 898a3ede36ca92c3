// The chip reads bits as low-pulse widths: characters made from level texts by hand.
#include "tests/tools/chip_test_support.h"
#include "tools/line_decoder.h"

TEST(LineDecoder, MeasuresEveryLowPulseOfACharacter)
{
    const std::pair<const char*, std::vector<int>> cases[] = {
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
    for (const auto& [levels, widths] : cases) {
        const std::uint8_t character = CharFromLevels(levels);
        EXPECT_EQ(LineDecoder::Levels(character), levels);
        LineDecoder decoder;
        EXPECT_EQ(decoder.FeedCharacter(character), widths) << levels;
    }
    std::vector<int> bits;
    for (const int width : {1, 2, 3, 0, 4, 9})
        bits.push_back(LineDecoder::BitOfWidth(width));
    EXPECT_EQ(bits, (std::vector<int>{1, 0, -1, -1, -1, -1}));
}

TEST(LineDecoder, HighsOfAnyLengthSeparatePulsesAndALowEndCarriesOver)
{
    LineDecoder decoder;
    EXPECT_EQ(decoder.Feed("01" "1111111111111111111111" "001" "1" "01"), (std::vector<int>{1, 2, 1}));
    EXPECT_TRUE(decoder.Feed("110").empty());
    EXPECT_EQ(decoder.Feed("01"), std::vector<int>{2});
    EXPECT_TRUE(decoder.Feed("0").empty());
    decoder.Reset();
    EXPECT_EQ(decoder.Feed("01"), std::vector<int>{1});
}
