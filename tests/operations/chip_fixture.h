// A loader on virtual time with in-process ROM chips behind the fake serial control: each chip
// sits on one COM port and answers what the loader writes while that port is open.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/loader_fixture.h"
#include "tools/rom_chip.h"

class ChipFixture : public LoaderFixture {
protected:
    ChipFixture();

    RomChip& PlaceChip(int port, RomChipOptions options = {});
    // Writes an image file of the given bytes and sets ImageFile to it.
    std::string UseImage(const std::vector<std::uint8_t>& bytes);
    // An image the chip accepts: size bytes, summing to 0x14 mod 256.
    static std::vector<std::uint8_t> ValidImage(std::size_t size);
    // Every byte written after the handshake's two writes (the lone F9, then bits and polls).
    std::vector<std::uint8_t> AfterHandshake() const;
    std::string LastMessage() const;

    std::map<int, std::unique_ptr<RomChip>> chips;
    std::string folder;
    int maxAcks = -1;  // answers after the handshake that reach the loader; -1 all
};

std::vector<std::uint8_t> Hex(const std::string& text);
