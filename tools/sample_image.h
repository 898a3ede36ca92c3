// A small image that passes the ROM's checksum, for demos and tests when no compiled program is at hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t kSampleImageDefaultBytes = 64;
constexpr std::size_t kSampleImageMinBytes = 16;  // the header words it fills

// Empty when the size is not a multiple of 4 between kSampleImageMinBytes and 32768; then
// *error (when given) says why.
std::vector<std::uint8_t> MakeSampleImage(std::size_t size, std::string* error = nullptr);
