// A loader on virtual time with in-process ROM chips behind the fake serial control: each chip
// sits on one COM port and answers what the loader writes while that port is open.
#pragma once

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/loader_fixture.h"
#include "tests/support/chip_options.h"
#include "tools/rom_chip.h"
#include "tools/sample_image.h"

class ChipFixture : public LoaderFixture {
protected:
    ChipFixture()
    {
        UseWindowDefaults();
        serial.peer = [this](const ByteString& block, std::int64_t now) -> ByteString {
            auto chip = chips.find(serial.CommPort());
            if (chip == chips.end())
                return {};
            ByteString answer = chip->second->Receive(block, now);
            // The handshake is answered in one block; later single answers are acknowledgements.
            if (maxAcks >= 0 && answer.size() == 1) {
                if (maxAcks == 0)
                    return {};
                --maxAcks;
            }
            return answer;
        };
    }

    RomChip& PlaceChip(int port, RomChipOptions options = {})
    {
        chips[port] = std::make_unique<RomChip>(options);
        return *chips[port];
    }

    // Writes an image file of the given bytes, or a sample image of the given size that the chip
    // accepts, and sets ImageFile to it.
    std::string UseImage(const ByteString& bytes)
    {
        const std::string path = folder + "/image" + std::to_string(++m_images) + ".binary";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        ld.state.ImageFile = path;
        return path;
    }
    std::string UseImage(std::size_t size) { return UseImage(MakeSampleImage(size)); }

    // Every byte written after the handshake's two writes (the lone F9, then bits and polls).
    ByteString AfterHandshake() const
    {
        ByteString out;
        const auto writes = serial.Writes();
        for (std::size_t i = 2; i < writes.size(); ++i)
            out.insert(out.end(), writes[i].begin(), writes[i].end());
        return out;
    }
    std::string LastMessage() const { return presenter.messages.empty() ? "" : presenter.messages.back().text; }

    std::map<int, std::unique_ptr<RomChip>> chips;
    std::string folder = MakeTempFolder();
    int maxAcks = -1;  // answers after the handshake that reach the loader; -1 all

private:
    int m_images = 0;
};

inline ByteString Hex(const std::string& text)
{
    ByteString out;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte)
        out.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
    return out;
}

