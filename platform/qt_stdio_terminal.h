// The terminal's standard input and output on the Qt event loop: a socket notifier wakes the
// loop when input arrives, so the session sleeps until there are bytes.
#pragma once

#include <QSocketNotifier>

#include <termios.h>

#include <memory>

#include "platform/qt_signal_pipe.h"
#include "platform/terminal_io.h"


class QtStdioTerminal : public TerminalIo {
public:
    ~QtStdioTerminal() override;

    bool InputIsTerminal() const override;
    void Notice(const std::string& line) override;
    void Start(std::function<void(const Bytes&)> onInput, std::function<void()> onEnd) override;
    void WriteOutput(const Bytes& bytes) override;
    void Stop() override;

private:
    void ReadInput();

    std::function<void(const Bytes&)> m_onInput;
    std::unique_ptr<QSocketNotifier> m_input;
    std::unique_ptr<QtSignalPipe> m_signals;
    bool m_raw = false;
};
