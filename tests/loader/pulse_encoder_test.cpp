// The pulse encoder against the worked byte sequences of both packings, and against a decoder
// of the line levels the chip would see.
#include <functional>
#include <random>

#include "loader/pulse_encoder.h"
#include "tests/loader/link_test_support.h"
#include "tests/support/loader_fixture.h"

namespace {

enum Packing { Standard, Dense };

class PulseEncoderTest : public LoaderFixture {
protected:
    void Use(Packing packing)
    {
        ld.state.ZeroPattern = "001";
        ld.state.OnePattern = packing == Standard ? "011" : "01";
    }
};

struct EncoderCase {
    const char* name;
    Packing packing;
    std::function<void(Loader&)> calls;
    ByteString queued;
    std::string pending;
};

void ByteThenFlush(Loader& ld, std::int32_t value)
{
    SendByte(ld, value);
    FlushBits(ld);
}

void LongOneThenFlush(Loader& ld)
{
    for (std::int32_t b : {1, 0, 0, 0})
        SendByte(ld, b);
    FlushBits(ld);
}

void Bits(Loader& ld, std::initializer_list<int> bits)
{
    for (int b : bits)
        SendBit(ld, b);
}

const ByteString kLongOneDense{0xC9, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};
const ByteString kLongOneStandard{0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2};

const std::vector<EncoderCase> kCases = {
    {"byte 00", Standard, [](Loader& ld) { ByteThenFlush(ld, 0x00); }, {0x92, 0x92, 0xF2}, ""},
    {"byte 00", Dense, [](Loader& ld) { ByteThenFlush(ld, 0x00); }, {0x92, 0x92, 0xF2}, ""},
    {"byte FF", Standard, [](Loader& ld) { ByteThenFlush(ld, 0xFF); }, {0xDB, 0xDB, 0xFB}, ""},
    {"byte FF", Dense, [](Loader& ld) { ByteThenFlush(ld, 0xFF); }, {0x55, 0xF5}, ""},
    {"byte A5", Standard, [](Loader& ld) { ByteThenFlush(ld, 0xA5); }, {0xD3, 0xD2, 0xFA}, ""},
    {"byte A5", Dense, [](Loader& ld) { ByteThenFlush(ld, 0xA5); }, {0x29, 0x4A}, ""},
    {"byte 1A5 uses low 8 bits", Standard, [](Loader& ld) { ByteThenFlush(ld, 0x1A5); }, {0xD3, 0xD2, 0xFA}, ""},
    {"byte 1A5 uses low 8 bits", Dense, [](Loader& ld) { ByteThenFlush(ld, 0x1A5); }, {0x29, 0x4A}, ""},
    {"byte -1 is eight ones", Standard, [](Loader& ld) { ByteThenFlush(ld, -1); }, {0xDB, 0xDB, 0xFB}, ""},
    {"byte -1 is eight ones", Dense, [](Loader& ld) { ByteThenFlush(ld, -1); }, {0x55, 0xF5}, ""},
    {"long 1", Standard, LongOneThenFlush, kLongOneStandard, ""},
    {"long 1", Dense, LongOneThenFlush, kLongOneDense, ""},
    {"case b keeps the 0 bit's pulse", Dense, [](Loader& ld) { Bits(ld, {1, 0, 0, 0}); }, {0xC9}, "001"},
    {"bit 7 counts as 1", Standard, [](Loader& ld) { Bits(ld, {7}); }, {}, "011"},
    {"bit 7 counts as 1", Dense, [](Loader& ld) { Bits(ld, {7}); }, {}, "01"},
    {"bits 1 0 1", Standard, [](Loader& ld) { Bits(ld, {1, 0, 1}); }, {0xD3}, ""},
    {"eight 1 bits", Dense,
     [](Loader& ld) {
         Bits(ld, {1, 1, 1, 1, 1, 1, 1, 1});
         FlushBits(ld);
     },
     {0x55, 0xF5}, ""},
    {"code 2 only packs", Standard,
     [](Loader& ld) {
         SendBit(ld, 0);
         AppendPulse(ld, 2);
     },
     {}, "001"},
    {"code 2 only packs", Dense,
     [](Loader& ld) {
         Bits(ld, {1, 0, 1});
         AppendPulse(ld, 2);
     },
     {}, "0100101"},
    {"flush of nothing", Standard, [](Loader& ld) { FlushBits(ld); }, {}, ""},
    {"flush of nothing", Dense, [](Loader& ld) { FlushBits(ld); }, {}, ""},
    // Pending levels go out before the whole-character bit: bits 1, 0 flush to F3.
    {"bit byte 0", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 0); }, {0xF3, 0xFE}, ""},
    {"bit byte 1", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 1); }, {0xF3, 0xFF}, ""},
    {"bit byte 2", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 2); }, {0xF3, 0xFE}, ""},
    {"bit byte 3", Standard, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 3); }, {0xF3, 0xFF}, ""},
    {"bit byte 3", Dense, [](Loader& ld) { Bits(ld, {1, 0}); SendBitByte(ld, 3); }, {0xF9, 0xFF}, ""},
};

TEST_F(PulseEncoderTest, WorkedExamplesInBothPackings)
{
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + (c.packing == Standard ? " / standard" : " / dense"));
        ld.state.TxBuffer.clear();
        ld.state.PulseBits.clear();
        Use(c.packing);
        c.calls(ld);
        EXPECT_EQ(ld.state.TxBuffer, c.queued);
        EXPECT_EQ(ld.state.PulseBits, c.pending);
    }
}

// Whatever the bits, the chip must read back exactly those bits from the line, and between
// calls at most 8 levels wait, starting with a low one.
TEST_F(PulseEncoderTest, LineCarriesExactlyTheBitsSent)
{
    std::mt19937 random(20240611);
    for (Packing packing : {Standard, Dense}) {
        SCOPED_TRACE(packing == Standard ? "standard" : "dense");
        Use(packing);
        ld.state.TxBuffer.clear();
        std::vector<int> sent;
        for (int n = 0; n < 400; ++n) {
            const int value = static_cast<int>(random() & 0xFF);
            SendByte(ld, value);
            for (int i = 0; i < 8; ++i)
                sent.push_back((value >> i) & 1);
            const std::string& pending = ld.state.PulseBits;
            ASSERT_LE(pending.size(), 8u);
            if (!pending.empty()) {
                ASSERT_EQ(pending.front(), '0');
            }
        }
        FlushBits(ld);
        EXPECT_EQ(linktest::DecodeLine(ld.state.TxBuffer), sent);
    }
}

}  // namespace
