#include "gang/live_view.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr int kDefaultColumns = 80;

}  // namespace

void LiveView::Draw(const std::vector<std::string>& lines)
{
    const std::size_t width = static_cast<std::size_t>(std::max(1, Columns() - 1));
    std::string text = EraseCodes();
    for (const std::string& line : lines)
        text += line.substr(0, width) + "\n";
    std::fputs(text.c_str(), m_out);
    std::fflush(m_out);
    m_lines = lines;
}

void LiveView::PrintAbove(const std::string& line)
{
    Erase();
    std::fputs((line + "\n").c_str(), m_out);
    std::fflush(m_out);
}

void LiveView::Erase()
{
    std::fputs(EraseCodes().c_str(), m_out);
    std::fflush(m_out);
    m_lines.clear();
}

// Back to the block's first line, and everything from there down cleared.
std::string LiveView::EraseCodes() const
{
    if (m_lines.empty())
        return "";
    return "\r\x1b[" + std::to_string(m_lines.size()) + "A\x1b[J";
}

int LiveView::Columns() const
{
    winsize size {};
    if (::ioctl(::fileno(m_out), TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return kDefaultColumns;
    return size.ws_col;
}
