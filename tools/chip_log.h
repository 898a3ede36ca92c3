// What the virtual chip records: one summary per boot session and a stream of events as they
// happen (the executable writes the events as JSON lines).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

enum class HandshakeResult { Pending, Passed, Failed };

// One session: from a calibration character after a quiet spell to the next one.
struct ChipSession {
    std::int64_t startMs = 0;
    HandshakeResult handshake = HandshakeResult::Pending;
    int failedBit = 0;                      // 1 to 250: the first host bit that was wrong
    std::optional<std::uint32_t> command;   // 0 shutdown, 1 RAM, 2 or more EEPROM
    std::optional<std::uint32_t> length;    // in longs
    bool shutdown = false;
    std::optional<std::size_t> imageSize;   // bytes, once the whole image arrived
    std::string imageSha256;                // lowercase hex
    std::optional<bool> checksumOk;
    std::optional<bool> eepromWriteOk;
    std::optional<bool> eepromVerifyOk;
    int answers = 0;                        // answer bytes sent, strays not counted
    std::vector<std::string> decodeErrors;
};

using EventValue = std::variant<bool, std::int64_t, std::string>;

struct ChipEvent {
    std::string type;  // session_start, handshake, command, length, image, checksum, stop_reading,
                       // eeprom_write, eeprom_verify, decode_error; the executable adds listening,
                       // eeprom_wait (the host read the checksum answer and polls on) and unplug
    std::int64_t atMs = 0;
    std::vector<std::pair<std::string, EventValue>> fields;
};

// One JSON object on one line, without the line end: {"event":type,"ms":atMs,...fields}.
std::string EventJson(const ChipEvent& event);
