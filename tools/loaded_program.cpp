#include "tools/loaded_program.h"

namespace {

constexpr std::uint8_t kPoll = 0xF9;
const char* const kLineEnd = "\r\n";

void Append(std::vector<std::uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> LoadedProgram::Start(std::int64_t nowMs)
{
    m_running = true;
    m_lines = 0;
    m_nextLineMs = nowMs + m_options.everyMs;
    std::vector<std::uint8_t> out;
    Append(out, m_options.greeting + kLineEnd);
    return out;
}

std::vector<std::uint8_t> LoadedProgram::Echo(const std::vector<std::uint8_t>& input) const
{
    std::vector<std::uint8_t> out;
    for (const std::uint8_t byte : input) {
        if (byte != kPoll)
            out.push_back(byte);
    }
    return out;
}

std::vector<std::uint8_t> LoadedProgram::Tick(std::int64_t nowMs)
{
    std::vector<std::uint8_t> out;
    while (NextLineMs() >= 0 && nowMs >= m_nextLineMs) {
        Append(out, m_options.line + " " + std::to_string(++m_lines) + kLineEnd);
        m_nextLineMs += m_options.everyMs;
    }
    return out;
}

std::int64_t LoadedProgram::NextLineMs() const
{
    return m_running && !m_options.line.empty() ? m_nextLineMs : -1;
}
