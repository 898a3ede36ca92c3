#include "tools/sample_image.h"

#include "tools/rom_checksum.h"

namespace {

constexpr std::uint32_t kClockHz = 12000000;   // a common crystal; the chip does not read it here
constexpr std::uint16_t kCodeStart = 0x0010;   // word at 0x0006: the code follows the header
constexpr std::uint8_t kImageByteSum = 0x14;   // with the two stack markers the RAM sums to 0
constexpr std::size_t kChecksumByteAt = 5;

void PutWord(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t value)
{
    image[at] = static_cast<std::uint8_t>(value);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::vector<std::uint8_t> MakeSampleImage(std::size_t size, std::string* error)
{
    if (size % 4 != 0 || size < kSampleImageMinBytes || size > kRamBytes) {
        if (error)
            *error = "size must be a multiple of 4 from " + std::to_string(kSampleImageMinBytes) + " to " +
                     std::to_string(kRamBytes) + " bytes";
        return {};
    }
    std::vector<std::uint8_t> image(size, 0);
    PutWord(image, 0, kClockHz & 0xFFFF);
    PutWord(image, 2, kClockHz >> 16);
    PutWord(image, 6, kCodeStart);
    // The stack markers go just past the image, or over its last 8 bytes when it fills RAM;
    // those bytes stay zero so that the markers replace nothing.
    const std::size_t stackBase = size + 8 <= kRamBytes ? size + 8 : kRamBytes;
    PutWord(image, 0x0008, static_cast<std::uint32_t>(size));
    PutWord(image, 0x000A, static_cast<std::uint32_t>(stackBase));
    PutWord(image, 0x000C, kCodeStart);
    PutWord(image, 0x000E, static_cast<std::uint32_t>(stackBase + 4));
    // A recognisable body, so a shifted or truncated download changes the digest.
    for (std::size_t i = kCodeStart; i + 8 < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);

    unsigned sum = 0;
    for (const std::uint8_t byte : image)
        sum += byte;
    image[kChecksumByteAt] = static_cast<std::uint8_t>(kImageByteSum - sum);
    return image;
}
