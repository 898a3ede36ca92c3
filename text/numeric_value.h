// The numeric value of a text: the longest leading decimal number (sign, digits, fraction,
// E or D exponent), "&H" hexadecimal or "&O" octal; 0 when the text does not begin with one.
// Shared by the command line's port switch and the window's port box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

double NumericValue(const std::string& text);
// value rounded to the nearest integer, halves to even; nothing when it is not finite or does
// not fit a signed 32-bit integer.
std::optional<std::int32_t> RoundToPort(double value);
