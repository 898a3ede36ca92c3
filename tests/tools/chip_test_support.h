// Builds what a host puts on the wire for the virtual chip's tests, by hand: characters from
// level texts, one character per bit, and the handshake's bits from the design's rule.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rom_chip.h"

using Bytes = std::vector<std::uint8_t>;

// The character whose 10 levels (start, 8 data bits LSB first, stop) are the given text.
std::uint8_t CharFromLevels(const std::string& levels);
Bytes CharsFromLevels(const std::vector<std::string>& levels);
// Bits first to first + count - 1 of the handshake sequence (bit 1 is the first one sent).
std::vector<int> HandshakeBits(int first, int count);
// One character per bit: FE for 0, FF for 1.
Bytes BitCharacters(const std::vector<int>& bits);
// A long as 32 one-bit characters, least significant bit first.
Bytes LongCharacters(std::uint32_t value);
// The bytes of an image as one-bit characters.
Bytes ImageCharacters(const Bytes& image);
Bytes Polls(int count);
Bytes Concat(std::initializer_list<Bytes> parts);

// Runs a standard handshake at timeMs and expects it to succeed; returns the answers.
Bytes Handshake(RomChip& chip, std::int64_t timeMs);
// Answers to the 258 polls of a chip of version 1, as the design lists them.
Bytes ExpectedHandshakeAnswers(int version = 1);
