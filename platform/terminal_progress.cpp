#include "platform/terminal_progress.h"

#include <algorithm>

namespace {
constexpr int kBarWidth = 40;  // characters between the brackets
}

std::string TerminalProgress::BarText(int percent)
{
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * kBarWidth / 100;
    std::string text = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] ";
    const std::string number = std::to_string(percent);
    return text + std::string(3 - number.size(), ' ') + number + "%";
}

void TerminalProgress::Follow(int percent)
{
    if (!m_enabled || percent == m_percent)
        return;
    m_percent = percent;
    // A window loaded afresh starts at 0; that is no download yet.
    if (percent <= 0 && !m_shown)
        return;
    Write(BarText(percent));
    m_shown = true;
}

void TerminalProgress::Erase()
{
    if (!m_shown)
        return;
    Write("\r\033[K");
    m_shown = false;
}

void TerminalProgress::Write(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), m_stream);
    std::fflush(m_stream);
}
