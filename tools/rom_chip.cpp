#include "tools/rom_chip.h"

#include <algorithm>
#include <cstdio>

#include "tools/rom_checksum.h"
#include "tools/sha256.h"

namespace {

constexpr int kBitsPerLong = 32;
constexpr std::uint32_t kShutdownCommand = 0;
constexpr std::uint32_t kFirstEepromCommand = 2;

std::string Hex(std::uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

const char* CommandKind(std::uint32_t command)
{
    if (command == kShutdownCommand)
        return "shutdown";
    return command < kFirstEepromCommand ? "ram" : "eeprom";
}

}  // namespace

RomChip::RomChip(RomChipOptions options) : m_options(options) {}

std::vector<std::uint8_t> RomChip::Receive(const std::vector<std::uint8_t>& bytes, std::int64_t nowMs)
{
    std::vector<std::uint8_t> out;
    for (const std::uint8_t byte : bytes) {
        const bool afterQuiet = !m_heardAny || nowMs - m_lastByteMs >= kQuietMs;
        m_heardAny = true;
        m_lastByteMs = nowMs;
        ReceiveByte(byte, nowMs, afterQuiet, out);
    }
    return out;
}

std::vector<ChipEvent> RomChip::TakeEvents()
{
    std::vector<ChipEvent> events;
    events.swap(m_events);
    return events;
}

void RomChip::ReceiveByte(std::uint8_t byte, std::int64_t nowMs, bool afterQuiet, std::vector<std::uint8_t>& out)
{
    const bool quietPoll = byte == kCalibration && afterQuiet;
    // A host that polls for an acknowledgement can pause; only a chip with nothing owed takes a
    // calibration as a reset.
    if (quietPoll && !OwesAcknowledgement()) {
        StartSession(nowMs);
        return;
    }
    const bool restartAfterQuietPoll = m_lastWasQuietPoll;
    m_lastWasQuietPoll = false;
    switch (m_phase) {
    case ChipPhase::Idle:
        return;
    case ChipPhase::Done:
        // After a session that went well, anything but a late poll is a host sending what it
        // should not; after a failed one, the rest of the host's stream is expected.
        if (byte != kCalibration && !m_sessions.empty() && Current().handshake == HandshakeResult::Passed &&
            Current().decodeErrors.empty())
            NoteUnexpected(byte, nowMs);
        return;
    case ChipPhase::Handshake:
    case ChipPhase::Command:
    case ChipPhase::Length:
    case ChipPhase::Image:
        DecodeCharacter(byte, nowMs);
        return;
    case ChipPhase::HandshakePolls:
        if (byte == kCalibration)
            AnswerHandshakePoll(out);
        else
            NoteUnexpected(byte, nowMs);
        return;
    case ChipPhase::ChecksumAck:
    case ChipPhase::EepromWriteAck:
    case ChipPhase::EepromVerifyAck:
        if (byte == kCalibration) {
            m_lastWasQuietPoll = quietPoll;
            AnswerAckPoll(nowMs, out);
        } else if (restartAfterQuietPoll) {
            // A host that gave up waiting has started over: the quiet poll was its calibration.
            StartSession(nowMs);
            DecodeCharacter(byte, nowMs);
        } else {
            NoteUnexpected(byte, nowMs);
        }
        return;
    }
}

void RomChip::StartSession(std::int64_t nowMs)
{
    m_sessions.emplace_back();
    Current().startMs = nowMs;
    m_phase = ChipPhase::Handshake;
    m_decoder.Reset();
    m_lfsr = BootLfsr();
    m_bitCount = 0;
    m_long = 0;
    m_imageLongs = 0;
    m_image.clear();
    m_polls = 0;
    m_unexpectedNoted = false;
    m_lastWasQuietPoll = false;
    Note("session_start", nowMs, {{"session", std::int64_t(m_sessions.size())}});
}

void RomChip::DecodeCharacter(std::uint8_t byte, std::int64_t nowMs)
{
    for (const int width : m_decoder.FeedCharacter(byte)) {
        // Once a phase has all its bits, the rest of the character is padding.
        if (!Decoding())
            break;
        const int bit = LineDecoder::BitOfWidth(width);
        if (bit < 0) {
            Fail("low pulse of " + std::to_string(width) + " bit times in character " + Hex(byte), nowMs);
            break;
        }
        TakeBit(bit, nowMs);
    }
    if (!Decoding())
        m_decoder.Reset();
}

void RomChip::TakeBit(int bit, std::int64_t nowMs)
{
    if (m_phase == ChipPhase::Handshake) {
        TakeHandshakeBit(bit, nowMs);
        return;
    }
    m_long |= std::uint32_t(bit) << m_bitCount;
    if (++m_bitCount == kBitsPerLong) {
        const std::uint32_t value = m_long;
        m_long = 0;
        m_bitCount = 0;
        TakeLong(value, nowMs);
    }
}

void RomChip::TakeHandshakeBit(int bit, std::int64_t nowMs)
{
    ++m_bitCount;
    if (bit != m_lfsr.Next()) {
        // A real chip would give up and boot from its EEPROM: the host hears nothing.
        Current().handshake = HandshakeResult::Failed;
        Current().failedBit = m_bitCount;
        Note("handshake", nowMs, {{"ok", false}, {"bit", std::int64_t(m_bitCount)}});
        m_phase = ChipPhase::Done;
        return;
    }
    if (m_bitCount == kHandshakeBits) {
        Current().handshake = HandshakeResult::Passed;
        Note("handshake", nowMs, {{"ok", true}});
        m_bitCount = 0;
        m_phase = ChipPhase::HandshakePolls;
    }
}

void RomChip::TakeLong(std::uint32_t value, std::int64_t nowMs)
{
    switch (m_phase) {
    case ChipPhase::Command:
        Current().command = value;
        Note("command", nowMs, {{"value", std::int64_t(value)}, {"kind", std::string(CommandKind(value))}});
        if (value == kShutdownCommand) {
            Current().shutdown = true;
            m_phase = ChipPhase::Done;
        } else {
            m_phase = ChipPhase::Length;
        }
        return;
    case ChipPhase::Length:
        Current().length = value;
        Note("length", nowMs, {{"longs", std::int64_t(value)}});
        if (std::uint64_t(value) * 4 > kRamBytes) {
            Fail("image of " + std::to_string(std::uint64_t(value) * 4) + " bytes does not fit the " +
                     std::to_string(kRamBytes) + " bytes of RAM",
                 nowMs);
            return;
        }
        m_imageLongs = value;
        m_phase = ChipPhase::Image;
        if (m_imageLongs == 0)
            FinishImage(nowMs);
        return;
    case ChipPhase::Image:
        for (int i = 0; i < 4; ++i)
            m_image.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        if (m_image.size() == std::size_t(m_imageLongs) * 4)
            FinishImage(nowMs);
        return;
    default:
        return;
    }
}

void RomChip::FinishImage(std::int64_t nowMs)
{
    ChipSession& session = Current();
    session.imageSize = m_image.size();
    session.imageSha256 = Sha256Hex(m_image);
    session.checksumOk = RomChecksumOk(m_image) && !m_options.checksumFail;
    Note("image", nowMs, {{"size", std::int64_t(m_image.size())}, {"sha256", session.imageSha256}});
    Note("checksum", nowMs, {{"ok", *session.checksumOk}});
    m_lastImage = std::move(m_image);
    m_image.clear();
    m_phase = m_options.silentAfterImage ? ChipPhase::Done : ChipPhase::ChecksumAck;
    m_busyUntilMs = nowMs + m_options.checksumBusyMs;
}

void RomChip::AnswerHandshakePoll(std::vector<std::uint8_t>& out)
{
    const int index = m_polls++;
    if (index < kHandshakeBits) {
        int bit = m_lfsr.Next();
        if (index + 1 == m_options.wrongBitAt)
            bit ^= 1;
        Answer(bit, out);
    } else {
        Answer((m_options.version >> (index - kHandshakeBits)) & 1, out);
    }
    if (m_polls == kHandshakeBits + kVersionBits)
        m_phase = ChipPhase::Command;
}

void RomChip::AnswerAckPoll(std::int64_t nowMs, std::vector<std::uint8_t>& out)
{
    if (nowMs < m_busyUntilMs)
        return;  // still busy: the poll goes unanswered
    ChipSession& session = Current();
    bool ok = true;
    if (m_phase == ChipPhase::ChecksumAck) {
        ok = *session.checksumOk;
        Answer(ok ? 0 : 1, out);
        const bool eeprom = session.command && *session.command >= kFirstEepromCommand;
        m_phase = ok && eeprom ? ChipPhase::EepromWriteAck : ChipPhase::Done;
    } else if (m_phase == ChipPhase::EepromWriteAck) {
        ok = !m_options.eepromWriteFail;
        session.eepromWriteOk = ok;
        Note("eeprom_write", nowMs, {{"ok", ok}});
        Answer(ok ? 0 : 1, out);
        m_phase = ok ? ChipPhase::EepromVerifyAck : ChipPhase::Done;
    } else {
        ok = !m_options.eepromVerifyFail;
        session.eepromVerifyOk = ok;
        Note("eeprom_verify", nowMs, {{"ok", ok}});
        Answer(ok ? 0 : 1, out);
        m_phase = ChipPhase::Done;
    }
    m_busyUntilMs = nowMs + m_options.eepromBusyMs;
}

void RomChip::Answer(int bit, std::vector<std::uint8_t>& out)
{
    if (Silenced())
        return;
    ChipSession& session = Current();
    if (session.answers == 0)
        out.insert(out.end(), std::size_t(std::max(m_options.strayBytes, 0)), kStrayByte);
    ++session.answers;
    if (m_options.garbage)
        out.push_back(kGarbageAnswer);
    else
        out.push_back(bit ? kAnswerOne : kAnswerZero);
}

void RomChip::NoteUnexpected(std::uint8_t byte, std::int64_t nowMs)
{
    // Logged once per session: a confused host could send thousands.
    if (m_unexpectedNoted)
        return;
    m_unexpectedNoted = true;
    const std::string message = "character " + Hex(byte) + " where only polls were expected";
    Current().decodeErrors.push_back(message);
    Note("decode_error", nowMs, {{"message", message}});
}

void RomChip::Fail(const std::string& reason, std::int64_t nowMs)
{
    Current().decodeErrors.push_back(reason);
    Note("decode_error", nowMs, {{"message", reason}});
    m_phase = ChipPhase::Done;
}

void RomChip::Note(const std::string& type, std::int64_t nowMs, std::vector<std::pair<std::string, EventValue>> fields)
{
    m_events.push_back({type, nowMs, std::move(fields)});
}

bool RomChip::Decoding() const
{
    return m_phase == ChipPhase::Handshake || m_phase == ChipPhase::Command || m_phase == ChipPhase::Length ||
           m_phase == ChipPhase::Image;
}

bool RomChip::OwesAcknowledgement() const
{
    const bool acking = m_phase == ChipPhase::ChecksumAck || m_phase == ChipPhase::EepromWriteAck ||
                        m_phase == ChipPhase::EepromVerifyAck;
    return acking && !Silenced();
}

bool RomChip::Silenced() const
{
    return m_options.silent ||
           (m_options.answerPolls >= 0 && !m_sessions.empty() && m_sessions.back().answers >= m_options.answerPolls);
}
