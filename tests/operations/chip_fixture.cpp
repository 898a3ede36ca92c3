#include "tests/operations/chip_fixture.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"

ChipFixture::ChipFixture()
{
    UseWindowDefaults();
    folder = MakeTempFolder();
    serial.peer = [this](const std::vector<std::uint8_t>& block, std::int64_t now) -> std::vector<std::uint8_t> {
        auto chip = chips.find(serial.CommPort());
        if (chip == chips.end())
            return {};
        std::vector<std::uint8_t> answer = chip->second->Receive(block, now);
        // The handshake is answered in one block; later single answers are acknowledgements.
        if (maxAcks >= 0 && answer.size() == 1) {
            if (maxAcks == 0)
                return {};
            --maxAcks;
        }
        return answer;
    };
}

RomChip& ChipFixture::PlaceChip(int port, RomChipOptions options)
{
    chips[port] = std::make_unique<RomChip>(options);
    return *chips[port];
}

std::string ChipFixture::UseImage(const std::vector<std::uint8_t>& bytes)
{
    static int count = 0;
    const std::string path = folder + "/image" + std::to_string(++count) + ".binary";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    ld.state.ImageFile = path;
    return path;
}

std::vector<std::uint8_t> ChipFixture::ValidImage(std::size_t size)
{
    // As a compiler leaves it: the word at 0x000A points past the code, where the ROM puts two
    // stack marker longs, and byte 0 makes the whole RAM sum to 0 mod 256.
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::size_t top = std::min<std::size_t>(size + 8, 32768);
    if (size >= 12) {
        image[10] = static_cast<std::uint8_t>(top & 0xFF);
        image[11] = static_cast<std::uint8_t>(top >> 8);
    }
    std::vector<std::uint8_t> ram(image);
    ram.resize(32768, 0);
    const std::uint8_t marker[8] = {0xFF, 0xFF, 0xF9, 0xFF, 0xFF, 0xFF, 0xF9, 0xFF};
    if (top >= 8)
        std::copy(marker, marker + 8, ram.begin() + static_cast<std::ptrdiff_t>(top - 8));
    unsigned sum = 0;
    for (std::uint8_t b : ram)
        sum += b;
    image[0] = static_cast<std::uint8_t>(image[0] - sum % 256);
    return image;
}

std::vector<std::uint8_t> ChipFixture::AfterHandshake() const
{
    std::vector<std::uint8_t> out;
    const auto writes = serial.Writes();
    for (std::size_t i = 2; i < writes.size(); ++i)
        out.insert(out.end(), writes[i].begin(), writes[i].end());
    return out;
}

std::string ChipFixture::LastMessage() const
{
    return presenter.messages.empty() ? "" : presenter.messages.back().text;
}

std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> out;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte)
        out.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
    return out;
}
