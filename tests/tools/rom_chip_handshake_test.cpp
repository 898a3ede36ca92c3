// The chip's side of the boot handshake: what it answers to standard and dense hosts, and the
// faults it can be told to play.
#include <gtest/gtest.h>

#include "tests/tools/chip_test_support.h"

namespace {

// Dense form as a simple host could make it: each character carries whole pulses ("01" for a 1,
// "001" for a 0) and is padded with high levels.
std::vector<std::string> DenseLevels(const std::vector<int>& bits)
{
    std::vector<std::string> characters;
    std::string current;
    for (const int bit : bits) {
        const std::string pulse = bit ? "01" : "001";
        if (current.size() + pulse.size() > 9) {
            characters.push_back(current + std::string(10 - current.size(), '1'));
            current.clear();
        }
        current += pulse;
    }
    if (!current.empty())
        characters.push_back(current + std::string(10 - current.size(), '1'));
    return characters;
}

struct AnswerCase {
    const char* name;
    RomChipOptions options;
    Bytes expected;
};

Bytes Inverted(Bytes answers, std::size_t at)
{
    answers[at] ^= 1;
    return answers;
}

}  // namespace

TEST(RomChipHandshake, StandardHostGetsTheDesignsAnswers)
{
    const Bytes sent = BitCharacters(HandshakeBits(1, 250));
    ASSERT_EQ(Bytes(sent.begin(), sent.begin() + 8), (Bytes{0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE}));

    RomChip chip;
    const Bytes answers = Handshake(chip, 1000);
    ASSERT_EQ(answers.size(), 258u);
    EXPECT_EQ(Bytes(answers.begin(), answers.begin() + 8), (Bytes{0xFE, 0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFF, 0xFE}));
    EXPECT_EQ(Bytes(answers.end() - 8, answers.end()), (Bytes{0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE}));
    EXPECT_EQ(answers, ExpectedHandshakeAnswers());
    ASSERT_EQ(chip.Sessions().size(), 1u);
    EXPECT_EQ(chip.Sessions()[0].handshake, HandshakeResult::Passed);
    EXPECT_EQ(chip.Phase(), ChipPhase::Command);
}

TEST(RomChipHandshake, CharactersArrivingOneAtATimeGetTheSameAnswers)
{
    RomChip chip;
    const Bytes stream = Concat({{0xF9}, BitCharacters(HandshakeBits(1, 250)), Polls(258)});
    Bytes answers;
    for (const std::uint8_t byte : stream) {
        const Bytes some = chip.Receive({byte}, 5000);
        answers.insert(answers.end(), some.begin(), some.end());
    }
    EXPECT_EQ(answers, ExpectedHandshakeAnswers());
}

TEST(RomChipHandshake, DenseHostIsReadByPulseWidth)
{
    // The first twelve bits 0101 1100 1111, written out by hand.
    const Bytes handMade = CharsFromLevels({"0010100101", "0101001001", "0101010111"});
    const std::vector<int> rest = HandshakeBits(13, 238);
    const Bytes stream = Concat({handMade, CharsFromLevels(DenseLevels(rest)), Polls(258)});
    EXPECT_LT(stream.size(), 250u + 258u);

    RomChip chip;
    EXPECT_TRUE(chip.Receive({0xF9}, 0).empty());
    EXPECT_EQ(chip.Receive(stream, 1), ExpectedHandshakeAnswers());
}

TEST(RomChipHandshake, WrongHostBitLeavesTheChipSilentAndIsLogged)
{
    std::vector<int> bits = HandshakeBits(1, 250);
    bits[16] ^= 1;  // bit 17
    RomChip chip;
    chip.Receive({0xF9}, 0);
    EXPECT_TRUE(chip.Receive(Concat({BitCharacters(bits), Polls(258)}), 1).empty());
    ASSERT_EQ(chip.Sessions().size(), 1u);
    EXPECT_EQ(chip.Sessions()[0].handshake, HandshakeResult::Failed);
    EXPECT_EQ(chip.Sessions()[0].failedBit, 17);
    const std::vector<ChipEvent> events = chip.TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(EventJson(events[1]), "{\"event\":\"handshake\",\"ms\":1,\"ok\":false,\"bit\":17}");

    // The next reset, after a quiet spell, gets a fresh session.
    EXPECT_EQ(Handshake(chip, 100), ExpectedHandshakeAnswers());
    EXPECT_EQ(chip.Sessions().size(), 2u);
}

TEST(RomChipHandshake, PulseOfThreeBitTimesIsADecodeErrorAndSilence)
{
    Bytes stream = Concat({BitCharacters(HandshakeBits(1, 250)), Polls(258)});
    stream[4] = CharFromLevels("0001111111");
    RomChip chip;
    chip.Receive({0xF9}, 0);
    EXPECT_TRUE(chip.Receive(stream, 1).empty());
    ASSERT_EQ(chip.Sessions()[0].decodeErrors.size(), 1u);
    EXPECT_NE(chip.Sessions()[0].decodeErrors[0].find("3 bit times"), std::string::npos);
    EXPECT_EQ(chip.Sessions()[0].handshake, HandshakeResult::Pending);
}

TEST(RomChipHandshake, OptionsShapeTheAnswers)
{
    const Bytes good = ExpectedHandshakeAnswers();
    RomChipOptions version2;
    version2.version = 2;
    RomChipOptions wrong17;
    wrong17.wrongBitAt = 17;
    RomChipOptions stray3;
    stray3.strayBytes = 3;
    RomChipOptions garbage;
    garbage.garbage = true;
    RomChipOptions silent;
    silent.silent = true;
    RomChipOptions first100;
    first100.answerPolls = 100;

    const AnswerCase cases[] = {
        {"default", {}, good},
        {"version 2", version2, ExpectedHandshakeAnswers(2)},
        {"wrong bit 17", wrong17, Inverted(good, 16)},
        {"three strays", stray3, Concat({{0, 0, 0}, good})},
        {"garbage", garbage, Bytes(258, RomChip::kGarbageAnswer)},
        {"silent", silent, {}},
        {"100 answers", first100, Bytes(good.begin(), good.begin() + 100)},
    };
    for (const auto& c : cases) {
        RomChip chip(c.options);
        EXPECT_EQ(Handshake(chip, 0), c.expected) << c.name;
    }
    EXPECT_EQ(ExpectedHandshakeAnswers(2).back(), 0xFE);
    EXPECT_EQ(*(ExpectedHandshakeAnswers(2).end() - 7), 0xFF);
}

TEST(RomChipHandshake, OnlyACalibrationAfterAQuietSpellStartsASession)
{
    RomChip chip;
    EXPECT_TRUE(chip.Receive({0x00, 0xF9}, 0).empty());  // noise first: the F9 did not follow quiet
    EXPECT_TRUE(chip.Sessions().empty());
    chip.Receive({0xF9}, 49);
    EXPECT_TRUE(chip.Sessions().empty());
    EXPECT_EQ(Handshake(chip, 99), ExpectedHandshakeAnswers());
    EXPECT_EQ(chip.Sessions().size(), 1u);
}
