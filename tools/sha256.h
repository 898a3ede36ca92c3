// A small SHA-256, so the chip can name the image it received in its log without a crypto library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The digest of the bytes as 64 lowercase hexadecimal digits.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);
