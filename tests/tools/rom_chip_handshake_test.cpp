// The chip's side of the boot handshake: what it answers to standard and dense hosts, and the
// faults it can be told to play.
#include "tests/tools/chip_test_support.h"

TEST(RomChipHandshake, StandardHostGetsTheAnswersWhetherCharactersComeAtOnceOrOneByOne)
{
    RomChip chip;
    const Bytes answers = Handshake(chip, 1000);
    ASSERT_EQ(answers.size(), 258u);
    EXPECT_EQ(Bytes(answers.end() - 8, answers.end()), (Bytes{0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE}));
    EXPECT_EQ(answers, ExpectedHandshakeAnswers());
    ASSERT_EQ(chip.Sessions().size(), 1u);
    EXPECT_EQ(chip.Sessions()[0].handshake, HandshakeResult::Passed);
    EXPECT_EQ(chip.Phase(), ChipPhase::Command);

    RomChip slow;
    Bytes oneByOne;
    for (const std::uint8_t byte : Concat({{0xF9}, BitCharacters(HandshakeBits(1, 250)), Polls(258)})) {
        const Bytes some = slow.Receive({byte}, 5000);
        oneByOne.insert(oneByOne.end(), some.begin(), some.end());
    }
    EXPECT_EQ(oneByOne, ExpectedHandshakeAnswers());
}

// Bits are read by pulse width, however many a character carries.
TEST(RomChipHandshake, DenseHostIsReadByPulseWidth)
{
    // The first twelve bits 0101 1100 1111 in three characters, written out by hand.
    const Bytes handMade{CharFromLevels("0010100101"), CharFromLevels("0101001001"), CharFromLevels("0101010111")};
    const Bytes stream = Concat({handMade, BitCharacters(HandshakeBits(13, 238)), Polls(258)});
    RomChip chip;
    EXPECT_TRUE(chip.Receive({0xF9}, 0).empty());
    EXPECT_EQ(chip.Receive(stream, 1), ExpectedHandshakeAnswers());
}

// A wrong bit leaves the chip silent and is logged (a pulse of no bit is a decode error like any
// other); the next reset, after a quiet spell, gets a fresh session.
TEST(RomChipHandshake, WrongHostBitLeavesTheChipSilentAndIsLogged)
{
    std::vector<int> bits = HandshakeBits(1, 250);
    bits[16] ^= 1;
    RomChip chip;
    chip.Receive({0xF9}, 0);
    EXPECT_TRUE(chip.Receive(Concat({BitCharacters(bits), Polls(258)}), 1).empty());
    ASSERT_EQ(chip.Sessions().size(), 1u);
    EXPECT_EQ(chip.Sessions()[0].handshake, HandshakeResult::Failed);
    EXPECT_EQ(chip.Sessions()[0].failedBit, 17);
    const std::vector<ChipEvent> events = chip.TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(EventJson(events[1]), "{\"event\":\"handshake\",\"ms\":1,\"ok\":false,\"bit\":17}");
    EXPECT_EQ(Handshake(chip, 100), ExpectedHandshakeAnswers());
    EXPECT_EQ(chip.Sessions().size(), 2u);
}

TEST(RomChipHandshake, OptionsShapeTheAnswers)
{
    const Bytes good = ExpectedHandshakeAnswers();
    Bytes wrong17 = good;
    wrong17[16] ^= 1;
    const struct {
        const char* name;
        RomChipOptions options;
        Bytes expected;
    } cases[] = {
        {"default", {}, good},
        {"version 2", With(&RomChipOptions::version, 2), ExpectedHandshakeAnswers(2)},
        {"wrong bit 17", With(&RomChipOptions::wrongBitAt, 17), wrong17},
        {"three strays", With(&RomChipOptions::strayBytes, 3), Concat({{0, 0, 0}, good})},
        {"garbage", With(&RomChipOptions::garbage, true), Bytes(258, RomChip::kGarbageAnswer)},
        {"silent", With(&RomChipOptions::silent, true), {}},
        {"100 answers", With(&RomChipOptions::answerPolls, 100), Bytes(good.begin(), good.begin() + 100)},
    };
    for (const auto& c : cases) {
        RomChip chip(c.options);
        EXPECT_EQ(Handshake(chip, 0), c.expected) << c.name;
    }
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
