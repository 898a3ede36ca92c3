// Turns bits into serial characters whose start, data and stop bits form low pulses of one bit
// time (a 1) or two (a 0), in standard (three bits a character) or dense packing. The characters
// go into TxBuffer; the serial link hands them to the port.
#pragma once

#include <cstdint>

#include "loader/loader.h"

void SendBit(Loader& ld, std::int32_t bit);
void SendByte(Loader& ld, std::int32_t value);
// The four bytes of value, lowest first.
void SendLong(Loader& ld, std::uint32_t value);
void AppendPulse(Loader& ld, std::int32_t code);
void FlushBits(Loader& ld);
