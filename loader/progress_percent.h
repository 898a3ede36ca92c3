// The progress bar's value during a download: how much of the image has gone out, in percent.
#pragma once

#include <cstdint>

// part / whole * 100, rounded down; the quotient is formed first.
std::int32_t Percent(std::int32_t part, std::int32_t whole);
