// The chip's side of a download: command, length and image read from pulses, then the
// checksum and EEPROM acknowledgements, busy times and faults.
#include <optional>

#include "tests/tools/chip_test_support.h"
#include "tools/sample_image.h"
#include "tools/sha256.h"

namespace {

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

// A chip after a handshake at 0 and a download at 10 with the given command.
void Download(RomChip& chip, std::uint32_t command, const Bytes& image)
{
    Handshake(chip, 0);
    const Bytes stream = Concat({LongCharacters(command), LongCharacters(std::uint32_t(image.size() / 4)),
                                 ImageCharacters(image)});
    EXPECT_TRUE(chip.Receive(stream, 10).empty());
}

const Bytes kLongOne{0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};
const Bytes kLongOneDense{0xC9, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};

}  // namespace

TEST(RomChipDownload, ReadsWhatTheHostSentAndAnswersTheChecksum)
{
    struct Case {
        const char* name;
        Bytes stream;  // after a handshake at 0
        std::optional<std::uint32_t> command, length;
        std::optional<std::size_t> imageSize;
        Bytes image;           // its SHA-256 is compared when it arrived whole
        const char* error;     // in the only decode error; "" none
        Bytes answers;         // to polls from 20 to 100 ms
    };
    const Bytes sample = MakeSampleImage(32768);
    const Case cases[] = {
        {"standard one-long image", Concat({kLongOne, kLongOne, {0x93, 0x92, 0x92, 0x93, 0x92, 0xDA, 0x92, 0x92, 0xD2, 0x92, 0xF2}}),
         1, 1, 4, {1, 2, 3, 4}, "", {0xFF}},
        {"dense one-long image", Concat({kLongOneDense, kLongOneDense, {0xC9, 0x92, 0x92, 0xC9, 0x92, 0x2A, 0x92, 0x92, 0xCA, 0x92, 0xFE}}),
         1, 1, 4, {1, 2, 3, 4}, "", {0xFF}},
        {"length of a full RAM image",
         Concat({LongCharacters(3), {0x92, 0x92, 0x92, 0x92, 0x9A, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2}, ImageCharacters(sample)}),
         3, 8192, 32768, sample, "", {0xFE, 0xFE, 0xFE}},
        {"shutdown", {0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2}, 0, {}, {}, {}, "", {}},
        {"empty image: zero RAM sums to 0", Concat({LongCharacters(1), LongCharacters(0)}), 1, 0, 0, {}, "", {0xFE}},
        {"image longer than RAM", Concat({LongCharacters(1), LongCharacters(8193), ImageCharacters(Bytes(64, 0))}),
         1, 8193, {}, {}, "32772", {}},
        {"bad pulse in the image", [] {
             Bytes stream = Concat({LongCharacters(1), LongCharacters(16), ImageCharacters(MakeSampleImage(64))});
             stream[100] = CharFromLevels("0000111111");
             return stream;
         }(), 1, 16, {}, {}, "4 bit times", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RomChip chip;
        Handshake(chip, 0);
        chip.Receive(c.stream, 10);
        const ChipSession& session = chip.Sessions().at(0);
        EXPECT_EQ(session.command, c.command);
        EXPECT_EQ(session.length, c.length);
        EXPECT_EQ(session.imageSize, c.imageSize);
        if (c.imageSize) {
            EXPECT_EQ(session.imageSha256, Sha256Hex(c.image));
        }
        EXPECT_EQ(session.shutdown, c.command == 0u);
        EXPECT_EQ(session.decodeErrors.size(), *c.error ? 1u : 0u);
        if (*c.error && !session.decodeErrors.empty()) {
            EXPECT_NE(session.decodeErrors[0].find(c.error), std::string::npos) << session.decodeErrors[0];
        }
        EXPECT_EQ(PollFor(chip, 20, 100), c.answers);
    }
}

TEST(RomChipDownload, AcknowledgementsFollowTheCommandAndTheFaults)
{
    const struct {
        const char* name;
        RomChipOptions options;
        std::uint32_t command;
        Bytes answers;
    } cases[] = {
        {"RAM", {}, 1, {0xFE}},
        {"EEPROM", {}, 3, {0xFE, 0xFE, 0xFE}},
        {"EEPROM, command 2", {}, 2, {0xFE, 0xFE, 0xFE}},
        {"checksum fails", With(&RomChipOptions::checksumFail, true), 3, {0xFF}},
        {"write fails", With(&RomChipOptions::eepromWriteFail, true), 3, {0xFE, 0xFF}},
        {"verify fails", With(&RomChipOptions::eepromVerifyFail, true), 3, {0xFE, 0xFE, 0xFF}},
        {"silent after image", With(&RomChipOptions::silentAfterImage, true), 3, {}},
        {"only the handshake", With(&RomChipOptions::answerPolls, 258), 3, {}},
        {"garbage", With(&RomChipOptions::garbage, true), 1, {RomChip::kGarbageAnswer}},
    };
    for (const auto& c : cases) {
        RomChip chip(c.options);
        Download(chip, c.command, MakeSampleImage(64));
        EXPECT_EQ(PollFor(chip, 20, 300), c.answers) << c.name;
    }
}

// Each answer waits out its busy time, then takes one poll; polls before go unanswered.
TEST(RomChipDownload, AnswersWaitForTheirBusyTimes)
{
    RomChipOptions options;
    options.checksumBusyMs = 30;
    options.eepromBusyMs = 100;
    RomChip chip(options);
    Download(chip, 3, MakeSampleImage(64));
    EXPECT_TRUE(chip.Receive(Polls(5), 10).empty());  // in the same instant as the image
    EXPECT_TRUE(chip.Receive({0xF9}, 39).empty());
    EXPECT_EQ(chip.Receive(Polls(3), 40), Bytes{0xFE});  // checksum
    EXPECT_TRUE(PollFor(chip, 50, 140).empty());         // writing
    EXPECT_EQ(PollFor(chip, 140, 150), Bytes{0xFE});     // written
    EXPECT_TRUE(PollFor(chip, 150, 240).empty());        // verifying
    EXPECT_EQ(PollFor(chip, 240, 250), Bytes{0xFE});     // verified
    EXPECT_TRUE(PollFor(chip, 250, 400).empty());
    const ChipSession& session = chip.Sessions().at(0);
    EXPECT_TRUE(session.checksumOk.value_or(false) && session.eepromWriteOk.value_or(false) &&
                session.eepromVerifyOk.value_or(false));
    EXPECT_EQ(chip.Phase(), ChipPhase::Done);

    std::vector<std::string> types;
    for (const ChipEvent& event : chip.TakeEvents())
        types.push_back(event.type);
    EXPECT_EQ(types, (std::vector<std::string>{"session_start", "handshake", "command", "length", "image",
                                               "checksum", "eeprom_write", "eeprom_verify"}));
}

// A quiet spell between acknowledgement polls is no reset; a handshake from a host that gave up is.
TEST(RomChipDownload, OnlyAHandshakeEndsTheAcknowledgements)
{
    RomChip chip(With(&RomChipOptions::eepromBusyMs, std::int64_t(200)));
    Download(chip, 3, MakeSampleImage(64));
    EXPECT_EQ(chip.Receive({0xF9}, 20), Bytes{0xFE});
    EXPECT_TRUE(chip.Receive({0xF9}, 120).empty());     // 100 ms of quiet, still writing
    EXPECT_EQ(chip.Receive({0xF9}, 220), Bytes{0xFE});  // and again: answered, not a new session
    EXPECT_EQ(chip.Sessions().size(), 1u);
    EXPECT_EQ(Handshake(chip, 300), ExpectedHandshakeAnswers());  // while it still verifies
    EXPECT_EQ(chip.Sessions().size(), 2u);
}
