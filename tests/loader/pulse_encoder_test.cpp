// The pulse encoder against the exact characters of known inputs in both packings, and against
// the virtual chip's reading of the line levels.
#include <functional>
#include <random>

#include "loader/pulse_encoder.h"
#include "loader/serial_link.h"
#include "tests/support/loader_fixture.h"
#include "tools/line_decoder.h"

namespace {

enum Packing { Standard, Dense };

class PulseEncoderTest : public LoaderFixture {
protected:
    void Use(Packing packing)
    {
        ld.state.TxBuffer.clear();
        ld.state.PulseBits.clear();
        ld.state.ZeroPattern = "001";
        ld.state.OnePattern = packing == Standard ? "011" : "01";
    }
};

void BytesThenFlush(Loader& ld, std::initializer_list<std::int32_t> values)
{
    for (std::int32_t value : values)
        SendByte(ld, value);
    FlushBits(ld);
}

void Bits(Loader& ld, std::initializer_list<int> bits)
{
    for (int bit : bits)
        SendBit(ld, bit);
}

TEST_F(PulseEncoderTest, KnownInputsGiveTheirExactCharactersInBothPackings)
{
    struct Case {
        const char* name;
        Packing packing;
        std::function<void(Loader&)> calls;
        ByteString queued;
        std::string pending;
    };
    const ByteString longOne{0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};
    const ByteString longOneDense{0xC9, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};
    const Case cases[] = {
        {"byte 00", Standard, [](Loader& ld) { BytesThenFlush(ld, {0x00}); }, {0x92, 0x92, 0xF2}, ""},
        {"byte 00", Dense, [](Loader& ld) { BytesThenFlush(ld, {0x00}); }, {0x92, 0x92, 0xF2}, ""},
        {"byte FF", Standard, [](Loader& ld) { BytesThenFlush(ld, {0xFF}); }, {0xDB, 0xDB, 0xFB}, ""},
        {"byte FF", Dense, [](Loader& ld) { BytesThenFlush(ld, {0xFF}); }, {0x55, 0xF5}, ""},
        {"byte A5", Standard, [](Loader& ld) { BytesThenFlush(ld, {0xA5}); }, {0xD3, 0xD2, 0xFA}, ""},
        {"byte A5", Dense, [](Loader& ld) { BytesThenFlush(ld, {0xA5}); }, {0x29, 0x4A}, ""},
        {"byte 1A5 uses the low 8 bits", Standard, [](Loader& ld) { BytesThenFlush(ld, {0x1A5}); }, {0xD3, 0xD2, 0xFA}, ""},
        {"byte -1 is eight ones", Dense, [](Loader& ld) { BytesThenFlush(ld, {-1}); }, {0x55, 0xF5}, ""},
        {"long 1", Standard, [](Loader& ld) { BytesThenFlush(ld, {1, 0, 0, 0}); }, longOne, ""},
        {"long 1", Dense, [](Loader& ld) { BytesThenFlush(ld, {1, 0, 0, 0}); }, longOneDense, ""},
        {"a cut before a 0 bit keeps its two-time low", Dense, [](Loader& ld) { Bits(ld, {1, 0, 0, 0}); }, {0xC9}, "001"},
        {"bit 7 counts as 1", Standard, [](Loader& ld) { Bits(ld, {7}); }, {}, "011"},
        {"code 2 only packs", Dense, [](Loader& ld) { Bits(ld, {1, 0, 1}); AppendPulse(ld, 2); }, {}, "0100101"},
        {"flush of nothing", Standard, [](Loader& ld) { FlushBits(ld); }, {}, ""},
        // Pending levels go out before the whole-character bit.
        {"bit byte 2", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 2); }, {0xF3, 0xFE}, ""},
        {"bit byte 3", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 3); }, {0xF3, 0xFF}, ""},
        {"bit byte 3", Dense, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 3); }, {0xF9, 0xFF}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.packing == Standard ? " / standard" : " / dense"));
        Use(c.packing);
        c.calls(ld);
        EXPECT_EQ(ld.state.TxBuffer, c.queued);
        EXPECT_EQ(ld.state.PulseBits, c.pending);
    }
}

// Whatever the bits, the chip reads back exactly those bits from the line, and between calls at
// most 8 levels wait, starting with a low one.
TEST_F(PulseEncoderTest, LineCarriesExactlyTheBitsSent)
{
    std::mt19937 random(20240611);
    for (Packing packing : {Standard, Dense}) {
        SCOPED_TRACE(packing == Standard ? "standard" : "dense");
        Use(packing);
        std::vector<int> sent;
        for (int n = 0; n < 400; ++n) {
            const int value = static_cast<int>(random() & 0xFF);
            SendByte(ld, value);
            for (int i = 0; i < 8; ++i)
                sent.push_back((value >> i) & 1);
            const std::string& pending = ld.state.PulseBits;
            ASSERT_LE(pending.size(), 8u);
            ASSERT_TRUE(pending.empty() || pending.front() == '0') << pending;
        }
        FlushBits(ld);
        LineDecoder decoder;
        std::vector<int> read;
        for (std::uint8_t character : ld.state.TxBuffer)
            for (int width : decoder.FeedCharacter(character))
                read.push_back(LineDecoder::BitOfWidth(width));
        EXPECT_EQ(read, sent);
    }
}

}  // namespace
