// A model of the Propeller's ROM boot loader as the host sees it on the serial line: it decodes
// the host's pulses, checks the handshake, takes a command and an image, and answers polls.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/boot_lfsr.h"
#include "tools/chip_log.h"
#include "tools/line_decoder.h"

struct RomChipOptions {
    int version = 1;                 // sent as 8 answer bits after the handshake, LSB first
    bool silent = false;             // never answers
    int wrongBitAt = 0;              // 1 to 250: that handshake answer bit is inverted
    int strayBytes = 0;              // 0x00 bytes sent before the first answer of a session
    bool checksumFail = false;
    bool eepromWriteFail = false;
    bool eepromVerifyFail = false;
    bool silentAfterImage = false;   // no acknowledgements at all
    int answerPolls = -1;            // answers only this many polls per session; -1 no limit
    bool garbage = false;            // answers every poll with a byte that is neither FE nor FF
    std::int64_t checksumBusyMs = 1; // polls before this has passed since the image go unanswered
    std::int64_t eepromBusyMs = 5;   // the same for the EEPROM write and the verify
};

enum class ChipPhase {
    Idle,             // no session yet
    Handshake,        // decoding the host's 250 LFSR bits
    HandshakePolls,   // answering 250 LFSR bits and 8 version bits
    Command,          // decoding the command long
    Length,           // decoding the length long
    Image,            // decoding the image longs
    ChecksumAck,      // owes the checksum answer
    EepromWriteAck,   // owes the EEPROM write answer
    EepromVerifyAck,  // owes the EEPROM verify answer
    Done,             // session over (or failed): waits for the next calibration
};

class RomChip {
public:
    static constexpr std::int64_t kQuietMs = 50;   // silence before a calibration starts a session
    static constexpr int kHandshakeBits = 250;
    static constexpr int kVersionBits = 8;
    static constexpr std::uint8_t kCalibration = 0xF9;
    static constexpr std::uint8_t kAnswerZero = 0xFE;
    static constexpr std::uint8_t kAnswerOne = 0xFF;
    static constexpr std::uint8_t kGarbageAnswer = 0xA5;
    static constexpr std::uint8_t kStrayByte = 0x00;

    explicit RomChip(RomChipOptions options = {});

    // Takes characters that arrived at nowMs (a monotonic clock) and returns the answer bytes.
    std::vector<std::uint8_t> Receive(const std::vector<std::uint8_t>& bytes, std::int64_t nowMs);

    ChipPhase Phase() const { return m_phase; }
    const std::vector<ChipSession>& Sessions() const { return m_sessions; }
    // The bytes of the last image that arrived whole; empty before the first.
    const std::vector<std::uint8_t>& LastImage() const { return m_lastImage; }
    // Whether the latest session ended with the shutdown command.
    bool ShutdownReceived() const { return !m_sessions.empty() && m_sessions.back().shutdown; }
    // The events since the last call, oldest first.
    std::vector<ChipEvent> TakeEvents();

private:
    void ReceiveByte(std::uint8_t byte, std::int64_t nowMs, bool afterQuiet, std::vector<std::uint8_t>& out);
    void StartSession(std::int64_t nowMs);
    void DecodeCharacter(std::uint8_t byte, std::int64_t nowMs);
    void TakeBit(int bit, std::int64_t nowMs);
    void TakeHandshakeBit(int bit, std::int64_t nowMs);
    void TakeLong(std::uint32_t value, std::int64_t nowMs);
    void FinishImage(std::int64_t nowMs);
    void AnswerHandshakePoll(std::vector<std::uint8_t>& out);
    void AnswerAckPoll(std::int64_t nowMs, std::vector<std::uint8_t>& out);
    void Answer(int bit, std::vector<std::uint8_t>& out);
    void NoteUnexpected(std::uint8_t byte, std::int64_t nowMs);
    void Fail(const std::string& reason, std::int64_t nowMs);
    void Note(const std::string& type, std::int64_t nowMs, std::vector<std::pair<std::string, EventValue>> fields);
    bool Decoding() const;
    bool OwesAcknowledgement() const;
    bool Silenced() const;
    ChipSession& Current() { return m_sessions.back(); }

    RomChipOptions m_options;
    ChipPhase m_phase = ChipPhase::Idle;
    LineDecoder m_decoder;
    BootLfsr m_lfsr;
    std::vector<ChipSession> m_sessions;
    std::vector<ChipEvent> m_events;

    bool m_heardAny = false;
    std::int64_t m_lastByteMs = 0;
    bool m_lastWasQuietPoll = false;  // an ack poll that came after a quiet spell
    int m_bitCount = 0;               // bits of the current handshake or long
    std::uint32_t m_long = 0;
    std::uint32_t m_imageLongs = 0;
    std::vector<std::uint8_t> m_image;
    std::vector<std::uint8_t> m_lastImage;
    int m_polls = 0;                  // handshake polls answered or not
    bool m_unexpectedNoted = false;
    std::int64_t m_busyUntilMs = 0;
};
