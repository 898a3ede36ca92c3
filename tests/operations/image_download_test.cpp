// The download against in-process ROM chips: the exact stream, the counts, the progress bar and
// every way it can end.
#include <algorithm>
#include <filesystem>

#include "loader/operations.h"
#include "loader/progress_percent.h"
#include "loader/reports.h"
#include "tests/operations/chip_fixture.h"
#include "tools/sha256.h"

namespace {

const std::string kLongOne = "93 92 92 92 92 92 92 92 92 92 F2 ";
const std::string kLongOneDense = "C9 92 92 92 92 92 92 92 92 92 F2 ";

class ImageDownload : public ChipFixture {
protected:
    std::size_t Polls(std::size_t from) const
    {
        const auto stream = AfterHandshake();
        const auto start = stream.begin() + static_cast<std::ptrdiff_t>(std::min(from, stream.size()));
        return static_cast<std::size_t>(std::count(start, stream.end(), 0xF9));
    }
};

TEST_F(ImageDownload, AOneLongImageStreamsAsItsExactCharactersInBothPackings)
{
    const struct {
        const char* name;
        const char* onePattern;
        std::int32_t command;
        std::string stream;
    } cases[] = {
        {"standard RAM", "011", 1, kLongOne + kLongOne + "93 92 92 93 92 DA 92 92 D2 92 F2"},
        {"dense RAM", "01", 1, kLongOneDense + kLongOneDense + "C9 92 92 C9 92 2A 92 92 CA 92 FE"},
        {"standard EEPROM", "011", 3, "9B 92 92 92 92 92 92 92 92 92 F2 " + kLongOne + "93 92 92 93 92 DA 92 92 D2 92 F2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceChip(3);
        ld.state.OnePattern = c.onePattern;
        ld.state.BootCommand = c.command;
        serial.events.clear();
        UseImage(ByteString{1, 2, 3, 4});
        DownloadImage(ld);

        const auto stream = AfterHandshake();
        ASSERT_GE(stream.size(), 33u);
        EXPECT_EQ(ByteString(stream.begin(), stream.begin() + 33), Hex(c.stream));
        // Nothing but polls after the image, and each one counted.
        EXPECT_EQ(Polls(33), stream.size() - 33);
        EXPECT_GE(Polls(33), 1u);
        EXPECT_EQ(ld.state.BytesSent, static_cast<std::int32_t>(33 + Polls(33)));
    }
}

TEST_F(ImageDownload, FullImagesReachTheChipIntactWithExactCounts)
{
    const struct {
        const char* name;
        const char* onePattern;
        std::int32_t command;
        const char* success;
    } cases[] = {
        {"standard RAM", "011", 1, "Download to Ram successful - Sent"},
        {"standard EEPROM", "011", 3, "Download to Eeprom successful - Sent"},
        {"dense RAM", "01", 1, "Download to Ram successful - Sent"},
        {"dense EEPROM", "01", 3, "Download to Eeprom successful - Sent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RomChip& chip = PlaceChip(3);
        serial.events.clear();
        presenter.messages.clear();
        ld.state.OnePattern = c.onePattern;
        ld.state.BootCommand = c.command;
        UseImage(32768);
        DownloadImage(ld);

        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Information);
        const auto stream = AfterHandshake();
        EXPECT_EQ(LastMessage(), c.success + NumberText(static_cast<std::int64_t>(stream.size())) + " bytes");
        ASSERT_GE(stream.size(), 22u);
        if (std::string(c.onePattern) == "011") {
            EXPECT_EQ(stream.size() - Polls(0), 90134u) << "8194 longs of 11 characters";
            EXPECT_EQ(ByteString(stream.begin() + 11, stream.begin() + 22), Hex("92 92 92 92 9A 92 92 92 92 92 F2"))
                << "the length long of 8192";
        } else {
            EXPECT_LT(stream.size() - Polls(0), 90134u);
        }
        ASSERT_FALSE(chip.Sessions().empty());
        EXPECT_EQ(chip.Sessions().back().imageSha256, Sha256Hex(MakeSampleImage(32768)));
    }
}

TEST_F(ImageDownload, ProgressFollowsEachChunkOf128Bytes)
{
    PlaceChip(3);
    UseImage(300);
    std::vector<std::pair<int, std::size_t>> seen;  // bar value, characters encoded so far
    window.state.barProgress = -1;
    window.state.onChanged = [&] {
        if (window.state.barProgress >= 0 && (seen.empty() || seen.back().first != window.state.barProgress))
            seen.emplace_back(window.state.barProgress,
                              static_cast<std::size_t>(ld.state.BytesSent) + ld.state.TxBuffer.size());
    };
    DownloadImage(ld);
    // 11 characters for each long: two longs ahead of the image, then 32, 64 and 75 image longs.
    const std::vector<std::pair<int, std::size_t>> expected = {{0, 22}, {42, 22 + 11 * 32}, {85, 22 + 11 * 64},
                                                               {100, 22 + 11 * 75}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(presenter.messages.size(), 1u);
}

TEST_F(ImageDownload, EveryFailureEndsInItsMessage)
{
    const struct {
        const char* name;
        RomChipOptions chip;
        std::int32_t command;
        int acks;
        const char* message;
        std::int32_t linkStatus;
    } cases[] = {
        {"silent after the image", With(&RomChipOptions::silentAfterImage, true), 1, -1,
         "Timedout waiting for Checksum Okay response", kLinkLost},
        {"checksum failed", With(&RomChipOptions::checksumFail, true), 1, -1, "Checksum failed", kLinkErrorReported},
        {"write answer missing", {}, 3, 1, "Timedout waiting for Write Eeprom Okay response", kLinkLost},
        {"write failed", With(&RomChipOptions::eepromWriteFail, true), 3, -1, "Write Eeprom Failed", kLinkErrorReported},
        {"verify answer missing", {}, 3, 2, "Timedout waiting for Verify Eeprom Okay response", kLinkLost},
        {"verify failed", With(&RomChipOptions::eepromVerifyFail, true), 3, -1, "Verify Eeprom Failed",
         kLinkErrorReported},
        {"version 2", With(&RomChipOptions::version, 2), 1, -1, "No Propeller Chip found", kLinkNoChip},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceChip(3, c.chip);
        presenter.messages.clear();
        maxAcks = c.acks;
        ld.state.BootCommand = c.command;
        UseImage(64);
        const std::int64_t start = clock.NowMs();
        DownloadImage(ld);
        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Warning);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(ld.state.LinkStatus, c.linkStatus);
        // Two 5-second EEPROM waits at most, plus the reset and handshake.
        EXPECT_LT(clock.NowMs() - start, 11000);
        EXPECT_TRUE(serial.PortOpen()) << "failures leave the port open";
    }
}

// A silent chip is polled every 10 ms for the whole wait; a chip busy for most of it is heard.
// An answered wait reads its answer after its next poll, so each costs two polls when the chip
// answers at once; the answer to a wait's last poll, which comes during its last pause, counts.
TEST_F(ImageDownload, EachAcknowledgementIsAwaitedForItsFullTime)
{
    const auto busy = [](std::int64_t checksumMs, std::int64_t eepromMs) {
        RomChipOptions options;
        options.checksumBusyMs = checksumMs;
        options.eepromBusyMs = eepromMs;
        return options;
    };
    const struct {
        const char* name;
        RomChipOptions chip;
        std::int32_t command;
        int acks;
        std::size_t polls;  // after the image, for a wait that runs out
        const char* message;
    } cases[] = {
        {"checksum never answered", With(&RomChipOptions::silentAfterImage, true), 1, -1, 25,
         "Timedout waiting for Checksum Okay response"},
        {"write never answered", busy(0, 0), 3, 1, 2 + 500, "Timedout waiting for Write Eeprom Okay response"},
        {"verify never answered", busy(0, 0), 3, 2, 2 + 2 + 500, "Timedout waiting for Verify Eeprom Okay response"},
        {"checksum after 240 ms", busy(240, 0), 1, -1, 0, "Download to Ram successful - Sent"},
        {"each EEPROM step after 4900 ms", busy(0, 4900), 3, -1, 0, "Download to Eeprom successful - Sent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceChip(3, c.chip);
        serial.events.clear();
        presenter.messages.clear();
        maxAcks = c.acks;
        ld.state.BootCommand = c.command;
        UseImage(64);
        DownloadImage(ld);
        EXPECT_EQ(LastMessage().substr(0, std::string(c.message).size()), c.message);
        if (c.polls) {
            EXPECT_EQ(Polls(0), c.polls);
        }
    }
}

TEST_F(ImageDownload, ChecksBeforeThePortIsTouched)
{
    std::filesystem::create_directory(folder + "/folder.binary");
    const std::string missing = folder + "/missing.binary ";
    UseImage(ByteString{'a', 'b', 'c', 'd'});
    const std::string one = ld.state.ImageFile;
    const struct {
        const char* name;
        std::string imageFile;
        std::int32_t port;
        std::string message;
    } cases[] = {
        {"empty name", "", 3, "No file selected"},
        {"only spaces", "   ", 3, "No file selected"},
        {"missing, shown untrimmed", missing, 3, "File not found\r\n\r\n" + missing},
        {"a folder", folder + "/folder.binary", 3, "File not found\r\n\r\n" + folder + "/folder.binary"},
        {"a pattern that matches", folder + "/*.binary", 3, "File not found\r\n\r\n" + folder + "/*.binary"},
        {"no port", one, 0, "No COM Port specified\r\n\r\n"},
    };
    PlaceChip(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.messages.clear();
        ld.state.ImageFile = c.imageFile;
        ld.state.PortNumber = c.port;
        DownloadImage(ld);
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_EQ(presenter.messages.size(), 1u);
    }
    EXPECT_EQ(window.loads, 0) << "the window (and with it the port) was never touched";
    EXPECT_EQ(serial.opens, 0);
}

TEST_F(ImageDownload, BadSizesAreRefusedAfterTheHandshakeWithNothingSent)
{
    PlaceChip(3);
    for (std::size_t size : {6u, 0u, 32772u}) {
        SCOPED_TRACE(size);
        serial.events.clear();
        UseImage(ByteString(size, 0x55));
        DownloadImage(ld);
        EXPECT_EQ(LastMessage(), "Invalid file size");
        EXPECT_EQ(serial.Writes().size(), 2u) << "the handshake only";
        EXPECT_EQ(ld.state.LinkStatus, kLinkErrorReported);
        EXPECT_TRUE(serial.PortOpen());
    }
}

TEST_F(ImageDownload, AnUnpluggedAdapterIsALostLinkWhereverItHappens)
{
    for (std::int64_t failAt : {100, 509 + 2000, 509 + 90000}) {
        SCOPED_TRACE(failAt);
        PlaceChip(3);
        presenter.messages.clear();
        serial.failAfterBytes = failAt;
        ld.state.BootCommand = 3;
        UseImage(32768);
        const std::int64_t start = clock.NowMs();
        DownloadImage(ld);
        EXPECT_EQ(LastMessage(), "Hardware link lost");
        EXPECT_EQ(presenter.messages.size(), 1u);
        EXPECT_LT(clock.NowMs() - start, 1000) << "no wait ran out its time on a dead port";
        serial.failAfterBytes = -1;
        window.Unload();
    }
}

TEST_F(ImageDownload, AFileThatShrinksWhileStreamingIsNeverASuccess)
{
    PlaceChip(3);
    const std::string path = UseImage(32768);
    bool truncated = false;
    window.state.onChanged = [&] {
        if (!truncated && window.state.barProgress == 0 && ld.state.BytesSent > 0) {
            std::filesystem::resize_file(path, 1000);
            truncated = true;
        }
    };
    DownloadImage(ld);
    ASSERT_TRUE(truncated);
    EXPECT_EQ(LastMessage(), "Error reading file\r\n\r\n" + path);
    EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(Polls(22), 0u) << "no acknowledgement was asked for";
}

TEST(Percent, QuotientFirstAndRoundedDown)
{
    EXPECT_EQ(Percent(3712, 6400), 57);
    EXPECT_EQ(Percent(128, 300), 42);
    EXPECT_EQ(Percent(300, 300), 100);
    EXPECT_EQ(Percent(0, 0), 0);
}

}  // namespace
