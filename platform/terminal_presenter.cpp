#include "platform/terminal_presenter.h"

std::string TerminalText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

void TerminalPresenter::ShowMessage(MessageIcon icon, const std::string& title, const std::string& text)
{
    if (m_beforeMessage)
        m_beforeMessage();
    std::FILE* stream = icon == MessageIcon::Warning ? m_err : m_out;
    const std::string message = title + "\n" + TerminalText(text) + "\n";
    std::fwrite(message.data(), 1, message.size(), stream);
    std::fflush(stream);
}
