// The chip's building blocks against known values: the handshake sequence, SHA-256, the ROM
// checksum rule and the sample image.
#include "tests/tools/chip_test_support.h"
#include "tools/rom_checksum.h"
#include "tools/sample_image.h"
#include "tools/sha256.h"

TEST(BootLfsr, SentAndExpectedBitsMatchTheKnownSequence)
{
    auto text = [](const std::vector<int>& bits) {
        std::string out;
        for (const int bit : bits)
            out += char('0' + bit);
        return out;
    };
    EXPECT_EQ(text(HandshakeBits(1, 32)), "01011100111101011111000111001010");
    EXPECT_EQ(text(HandshakeBits(251, 32)), "01000010111001111010111110001110");
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

// Zero images whose byte 5 makes the image bytes (markers aside) sum to `sum`; the two marker
// longs add 0xEC, so only images summing to 0x14 pass unless the markers are dropped.
TEST(RomChecksum, RamWithTheStackMarkersMustSumToZero)
{
    struct Case {
        const char* name;
        std::size_t size;
        unsigned stackBase;  // the word at 0x000A
        unsigned sum;
        bool ok;
    };
    const Case cases[] = {
        {"markers just past the image", 64, 72, 0x14, true},
        {"one too many", 64, 72, 0x15, false},
        {"sum 0 with markers", 64, 72, 0x00, false},
        {"markers replace image bytes rather than add to them", 64, 64, 0x14 + 0x40, true},
        {"markers below address 0 are dropped", 16, 0, 0, true},
        {"markers far above RAM are dropped", 16, 0xFFFF, 0, true},
    };
    for (const auto& c : cases) {
        Bytes image(c.size, 0);
        image[0x0A] = std::uint8_t(c.stackBase);
        image[0x0B] = std::uint8_t(c.stackBase >> 8);
        if (c.stackBase == 64)
            image[60] = 0x40;  // under a marker, so it must not count
        unsigned now = 0;
        for (const std::uint8_t byte : image)
            now += byte;
        image[5] = std::uint8_t(c.sum - now);
        EXPECT_EQ(RomChecksumOk(image), c.ok) << c.name;
    }
    EXPECT_FALSE(RomChecksumOk(Bytes(kRamBytes + 4, 0)));
}

TEST(SampleImage, EverySizePassesTheRomChecksumAndHasTheHeaderWords)
{
    for (const std::size_t size : {16u, 64u, 300u, 4096u, 32760u, 32764u, 32768u}) {
        const Bytes image = MakeSampleImage(size);
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(image[6] | image[7] << 8, 0x0010) << size;
        const unsigned stackBase = image[0x0A] | image[0x0B] << 8;
        EXPECT_GE(stackBase, 8u) << size;
        EXPECT_LE(stackBase, kRamBytes) << size;
        EXPECT_TRUE(RomChecksumOk(image)) << size;
    }
    for (const std::size_t size : {0u, 4u, 12u, 18u, 66u, 32772u, 65536u}) {
        std::string error;
        EXPECT_TRUE(MakeSampleImage(size, &error).empty()) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}
