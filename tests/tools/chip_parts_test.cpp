// The chip's building blocks against published values: the handshake sequence, SHA-256, the ROM
// checksum rule and the sample image.
#include <gtest/gtest.h>

#include "tests/tools/chip_test_support.h"
#include "tools/rom_checksum.h"
#include "tools/sample_image.h"
#include "tools/sha256.h"

namespace {

std::string BitText(const std::vector<int>& bits)
{
    std::string text;
    for (const int bit : bits)
        text += char('0' + bit);
    return text;
}

// Image bytes adjusted so that they sum to the given value modulo 256.
Bytes WithSum(Bytes image, unsigned sum)
{
    unsigned now = 0;
    for (const std::uint8_t byte : image)
        now += byte;
    image[5] = std::uint8_t(image[5] + (sum - now));
    return image;
}

}  // namespace

TEST(BootLfsr, SentAndExpectedBitsMatchTheWorkedExample)
{
    EXPECT_EQ(BitText(HandshakeBits(1, 32)), "01011100111101011111000111001010");
    EXPECT_EQ(BitText(HandshakeBits(251, 32)), "01000010111001111010111110001110");
}

TEST(Sha256, KnownDigests)
{
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex({'a', 'b', 'c'}), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string text = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";  // two blocks
    EXPECT_EQ(Sha256Hex(Bytes(text.begin(), text.end())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex(Bytes(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(RomChecksum, ImageSummingTo0x14WithMarkersBelowTheStackBaseIsAccepted)
{
    Bytes image(64, 0);
    image[0x0A] = 64 + 8;  // markers just past the image
    EXPECT_TRUE(RomChecksumOk(WithSum(image, 0x14)));
    EXPECT_FALSE(RomChecksumOk(WithSum(image, 0x15)));
    EXPECT_FALSE(RomChecksumOk(WithSum(image, 0x00)));
}

TEST(RomChecksum, MarkersReplaceImageBytesRatherThanAddToThem)
{
    Bytes image(64, 0);
    image[0x0A] = 64;      // markers over the last two longs of the image
    image[60] = 0x40;      // overwritten, so it must not count
    EXPECT_TRUE(RomChecksumOk(WithSum(image, 0x14 + 0x40)));
}

TEST(RomChecksum, MarkersOutsideRamAreDroppedAndTooLongImagesFail)
{
    Bytes image(16, 0);
    image[0x0A] = 0;  // both markers would lie below address 0
    EXPECT_TRUE(RomChecksumOk(WithSum(image, 0)));
    Bytes top(16, 0);
    top[0x0A] = 0xFF;
    top[0x0B] = 0xFF;  // far above RAM
    EXPECT_TRUE(RomChecksumOk(WithSum(top, 0)));
    EXPECT_FALSE(RomChecksumOk(Bytes(kRamBytes + 4, 0)));
}

TEST(SampleImage, EverySizePassesTheRomChecksumAndHasTheHeaderWords)
{
    for (const std::size_t size : {std::size_t(16), std::size_t(64), std::size_t(300), std::size_t(4096),
                                   std::size_t(32760), std::size_t(32764), std::size_t(32768)}) {
        const Bytes image = MakeSampleImage(size);
        ASSERT_EQ(image.size(), size);
        unsigned sum = 0;
        for (const std::uint8_t byte : image)
            sum += byte;
        EXPECT_EQ(sum % 256, 0x14u) << size;
        EXPECT_EQ(image[6] | image[7] << 8, 0x0010) << size;
        const unsigned stackBase = image[0x0A] | image[0x0B] << 8;
        EXPECT_GE(stackBase, 8u) << size;
        EXPECT_LE(stackBase, kRamBytes) << size;
        EXPECT_TRUE(RomChecksumOk(image)) << size;
    }
}

TEST(SampleImage, RefusesSizesTheChipCannotTake)
{
    for (const std::size_t size : {0, 4, 12, 18, 66, 32772, 65536}) {
        std::string error;
        EXPECT_TRUE(MakeSampleImage(size, &error).empty()) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}
