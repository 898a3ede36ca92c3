// The boot ROM's handshake (calibration, 250 LFSR bits out, 250 back plus the version) and the
// waits for the chip's answer bits.
#pragma once

#include <cstdint>
#include <string>

#include "loader/loader.h"

void ConnectChip(Loader& ld, std::int32_t port, const std::string& baud);
void SendCalibration(Loader& ld);
std::int32_t NextLfsrBit(Loader& ld);
std::int32_t ReadResponseBit(Loader& ld);
std::int32_t AwaitBit(Loader& ld, std::int32_t timeoutMs, bool poll);
std::int32_t WaitBit(Loader& ld, std::int32_t timeoutMs);
std::int32_t PollBit(Loader& ld, std::int32_t timeoutMs);
// Logs why an answer wait of waitMs for what brought no bit: it ran out, or the port failed.
void LogNoAnswer(Loader& ld, const std::string& what, std::int32_t waitMs);
