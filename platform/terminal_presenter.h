// Messages on the terminal for command-line runs: the title on its own line, then the text;
// information on standard output, warnings on standard error.
#pragma once

#include <cstdio>
#include <functional>

#include "platform/presenter.h"

class TerminalPresenter : public Presenter {
public:
    TerminalPresenter(std::FILE* out = stdout, std::FILE* err = stderr) : m_out(out), m_err(err) {}

    // Runs before each message, so a progress line can get out of the way first.
    void SetBeforeMessage(std::function<void()> beforeMessage) { m_beforeMessage = std::move(beforeMessage); }

    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override;

private:
    std::FILE* m_out;
    std::FILE* m_err;
    std::function<void()> m_beforeMessage;
};

// The text with each CR LF turned into a plain line end.
std::string TerminalText(const std::string& text);
