// Turns serial characters back into the line levels they put on the wire and measures the low
// pulses in bit times, the way the boot ROM reads the host's bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class LineDecoder {
public:
    static constexpr int kLevelsPerCharacter = 10;  // start, 8 data bits, stop

    // The 10 levels of one 8-N-1 character, '0' for low: start bit, data bits least significant
    // first, stop bit.
    static std::string Levels(std::uint8_t character);
    // The bit a low pulse of this width stands for: 1 bit time is a 1, 2 a 0; -1 for any other width.
    static int BitOfWidth(int widthBitTimes);

    // Feeds levels ('0' low, anything else high) and returns the widths of the low pulses that
    // ended within them. A pulse still low at the end is carried into the next call.
    std::vector<int> Feed(std::string_view levels);
    std::vector<int> FeedCharacter(std::uint8_t character) { return Feed(Levels(character)); }
    // Forgets a pulse in progress.
    void Reset() { m_lowRun = 0; }

private:
    int m_lowRun = 0;
};
