// The chip's side of a download: command, length and image read from pulses, then the
// checksum and EEPROM acknowledgements, busy times and faults.
#include <gtest/gtest.h>

#include "tests/tools/chip_test_support.h"
#include "tools/sample_image.h"
#include "tools/sha256.h"

namespace {

Bytes Hex(std::initializer_list<int> values)
{
    Bytes out;
    for (const int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}

// Sends one poll every 10 ms from fromMs to untilMs and gathers the answers.
Bytes PollFor(RomChip& chip, std::int64_t fromMs, std::int64_t untilMs)
{
    Bytes answers;
    for (std::int64_t t = fromMs; t < untilMs; t += 10) {
        const Bytes some = chip.Receive({0xF9}, t);
        answers.insert(answers.end(), some.begin(), some.end());
    }
    return answers;
}

// A chip after a handshake at 0 and a download of a sample image at 10 with the given command.
void Download(RomChip& chip, std::uint32_t command, const Bytes& image)
{
    Handshake(chip, 0);
    const Bytes stream = Concat({LongCharacters(command), LongCharacters(std::uint32_t(image.size() / 4)),
                                 ImageCharacters(image)});
    EXPECT_TRUE(chip.Receive(stream, 10).empty());
}

struct AckCase {
    const char* name;
    RomChipOptions options;
    std::uint32_t command;
    Bytes answers;
};

}  // namespace

TEST(RomChipDownload, StandardPackingWorkedExampleIsRead)
{
    RomChip chip;
    Handshake(chip, 0);
    const Bytes stream = Hex({0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,    // command 1
                              0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,    // length 1
                              0x93, 0x92, 0x92, 0x93, 0x92, 0xDA, 0x92, 0x92, 0xD2, 0x92, 0xF2});  // 01 02 03 04
    chip.Receive(stream, 10);
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_EQ(session.command, 1u);
    EXPECT_EQ(session.length, 1u);
    EXPECT_EQ(session.imageSize, 4u);
    EXPECT_EQ(session.imageSha256, Sha256Hex({1, 2, 3, 4}));
    EXPECT_EQ(session.checksumOk, false);
    EXPECT_EQ(PollFor(chip, 20, 60), Hex({0xFF}));
}

TEST(RomChipDownload, DensePackingWorkedExampleIsRead)
{
    RomChip chip;
    Handshake(chip, 0);
    const Bytes stream = Hex({0xC9, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,
                              0xC9, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,
                              0xC9, 0x92, 0x92, 0xC9, 0x92, 0x2A, 0x92, 0x92, 0xCA, 0x92, 0xFE});
    chip.Receive(stream, 10);
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_EQ(session.command, 1u);
    EXPECT_EQ(session.length, 1u);
    EXPECT_EQ(session.imageSha256, Sha256Hex({1, 2, 3, 4}));
}

TEST(RomChipDownload, LengthOfAFullRamImage)
{
    RomChip chip;
    Handshake(chip, 0);
    chip.Receive(Concat({LongCharacters(3), Hex({0x92, 0x92, 0x92, 0x92, 0x9A, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2})}),
                 10);
    EXPECT_EQ(chip.Sessions().at(0).length, 8192u);
    EXPECT_EQ(chip.Phase(), ChipPhase::Image);
}

TEST(RomChipDownload, PollsWhileBusyGoUnansweredAndEachAnswerTakesOnePoll)
{
    RomChipOptions options;
    options.checksumBusyMs = 30;
    RomChip chip(options);
    const Bytes image = MakeSampleImage(64);
    Download(chip, 1, image);
    EXPECT_TRUE(chip.Receive(Polls(5), 10).empty());   // in the same instant as the image
    EXPECT_TRUE(chip.Receive({0xF9}, 39).empty());
    EXPECT_EQ(chip.Receive(Polls(3), 40), Hex({0xFE}));
    EXPECT_TRUE(PollFor(chip, 50, 200).empty());
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_EQ(session.imageSha256, Sha256Hex(image));
    EXPECT_EQ(session.checksumOk, true);
    EXPECT_EQ(chip.Phase(), ChipPhase::Done);
}

TEST(RomChipDownload, AcknowledgementsFollowTheCommandAndTheFaults)
{
    auto with = [](auto set) {
        RomChipOptions options;
        set(options);
        return options;
    };
    const AckCase cases[] = {
        {"RAM", {}, 1, Hex({0xFE})},
        {"EEPROM", {}, 3, Hex({0xFE, 0xFE, 0xFE})},
        {"EEPROM, command 2", {}, 2, Hex({0xFE, 0xFE, 0xFE})},
        {"checksum fails", with([](RomChipOptions& o) { o.checksumFail = true; }), 3, Hex({0xFF})},
        {"write fails", with([](RomChipOptions& o) { o.eepromWriteFail = true; }), 3, Hex({0xFE, 0xFF})},
        {"verify fails", with([](RomChipOptions& o) { o.eepromVerifyFail = true; }), 3, Hex({0xFE, 0xFE, 0xFF})},
        {"silent after image", with([](RomChipOptions& o) { o.silentAfterImage = true; }), 3, {}},
        {"only the handshake", with([](RomChipOptions& o) { o.answerPolls = 258; }), 3, {}},
        {"garbage", with([](RomChipOptions& o) { o.garbage = true; }), 1, Hex({RomChip::kGarbageAnswer})},
    };
    for (const auto& c : cases) {
        RomChip chip(c.options);
        Download(chip, c.command, MakeSampleImage(64));
        EXPECT_EQ(PollFor(chip, 20, 300), c.answers) << c.name;
    }
}

TEST(RomChipDownload, EepromAnswersWaitForTheirBusyTimes)
{
    RomChipOptions options;
    options.eepromBusyMs = 100;
    RomChip chip(options);
    Download(chip, 3, MakeSampleImage(64));
    EXPECT_EQ(PollFor(chip, 20, 30), Hex({0xFE}));      // checksum
    EXPECT_TRUE(PollFor(chip, 30, 120).empty());        // writing
    EXPECT_EQ(PollFor(chip, 120, 130), Hex({0xFE}));    // written
    EXPECT_TRUE(PollFor(chip, 130, 220).empty());       // verifying
    EXPECT_EQ(PollFor(chip, 220, 230), Hex({0xFE}));    // verified
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_EQ(session.eepromWriteOk, true);
    EXPECT_EQ(session.eepromVerifyOk, true);

    std::vector<std::string> types;
    for (const ChipEvent& event : chip.TakeEvents())
        types.push_back(event.type);
    EXPECT_EQ(types, (std::vector<std::string>{"session_start", "handshake", "command", "length", "image",
                                               "checksum", "eeprom_write", "eeprom_verify"}));
}

TEST(RomChipDownload, APauseInTheAcknowledgementPollsIsNoReset)
{
    RomChipOptions options;
    options.eepromBusyMs = 200;
    RomChip chip(options);
    Download(chip, 3, MakeSampleImage(64));
    EXPECT_EQ(chip.Receive({0xF9}, 20), Hex({0xFE}));
    EXPECT_TRUE(chip.Receive({0xF9}, 120).empty());      // 100 ms of quiet, still writing
    EXPECT_EQ(chip.Receive({0xF9}, 220), Hex({0xFE}));   // and again: answered, not a new session
    EXPECT_EQ(chip.Sessions().size(), 1u);
}

TEST(RomChipDownload, HostThatGaveUpOnAnAcknowledgementCanStartOver)
{
    RomChipOptions options;
    options.eepromBusyMs = 10000;
    RomChip chip(options);
    Download(chip, 3, MakeSampleImage(64));
    EXPECT_EQ(chip.Receive({0xF9}, 20), Hex({0xFE}));
    EXPECT_TRUE(PollFor(chip, 30, 100).empty());
    EXPECT_EQ(Handshake(chip, 500), ExpectedHandshakeAnswers());
    EXPECT_EQ(chip.Sessions().size(), 2u);
}

TEST(RomChipDownload, ShutdownIsLoggedAndEndsTheSession)
{
    RomChip chip;
    Handshake(chip, 0);
    chip.Receive(Hex({0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2}), 10);
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_TRUE(session.shutdown);
    EXPECT_EQ(session.command, 0u);
    EXPECT_EQ(chip.Phase(), ChipPhase::Done);
    EXPECT_TRUE(PollFor(chip, 20, 100).empty());
}

TEST(RomChipDownload, ImageLongerThanRamIsADecodeError)
{
    RomChip chip;
    Handshake(chip, 0);
    chip.Receive(Concat({LongCharacters(1), LongCharacters(8193), ImageCharacters(Bytes(64, 0))}), 10);
    const ChipSession& session = chip.Sessions().at(0);
    ASSERT_EQ(session.decodeErrors.size(), 1u);
    EXPECT_NE(session.decodeErrors[0].find("32772"), std::string::npos) << session.decodeErrors[0];
    EXPECT_EQ(chip.Phase(), ChipPhase::Done);
    EXPECT_TRUE(PollFor(chip, 20, 100).empty());
}

TEST(RomChipDownload, BadPulseInTheImageFailsTheSession)
{
    RomChip chip;
    Handshake(chip, 0);
    Bytes stream = Concat({LongCharacters(1), LongCharacters(16), ImageCharacters(MakeSampleImage(64))});
    stream[100] = CharFromLevels("0000111111");
    chip.Receive(stream, 10);
    EXPECT_EQ(chip.Sessions().at(0).decodeErrors.size(), 1u);
    EXPECT_FALSE(chip.Sessions().at(0).imageSize.has_value());
    EXPECT_TRUE(PollFor(chip, 20, 100).empty());
}

TEST(RomChipDownload, EmptyImageGoesStraightToTheChecksum)
{
    RomChip chip;
    Handshake(chip, 0);
    chip.Receive(Concat({LongCharacters(1), LongCharacters(0)}), 10);
    EXPECT_EQ(chip.Sessions().at(0).imageSize, 0u);
    EXPECT_EQ(PollFor(chip, 20, 40), Hex({0xFE}));  // zero RAM sums to 0
}
