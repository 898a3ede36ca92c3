// The boot ROM's 8-bit LFSR: the handshake bits the host must send and the ones the chip answers
// with are one continuous run of this generator from the seed 'P'.
#pragma once

#include <cstdint>

class BootLfsr {
public:
    static constexpr std::uint8_t kSeed = 80;  // 'P'

    // The next bit of the sequence (bit 0 of the state), advancing the state.
    int Next()
    {
        const int bit = m_state & 1;
        const int feedback = ((m_state >> 7) ^ (m_state >> 5) ^ (m_state >> 4) ^ (m_state >> 1)) & 1;
        m_state = static_cast<std::uint8_t>(((m_state & 0x7F) << 1) | feedback);
        return bit;
    }

private:
    std::uint8_t m_state = kSeed;
};
