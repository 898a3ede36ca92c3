// The check the boot ROM makes on an image before it runs it or programs it into the EEPROM.
#pragma once

#include <cstdint>
#include <vector>

constexpr std::size_t kRamBytes = 32768;

// Lays the image into zero-filled RAM, writes the long 0xFFF9FFFF at the two longs below the
// address held in the word at byte 0x000A, and requires the byte sum of the whole RAM to be 0
// modulo 256. Bytes of those two longs that would fall outside RAM are not written. An image
// longer than RAM fails.
bool RomChecksumOk(const std::vector<std::uint8_t>& image);
