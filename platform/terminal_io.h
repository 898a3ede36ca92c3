// The user's side of the terminal that follows an operation: standard input and output. Input
// from a terminal is taken raw (no echo, no line editing, Ctrl-C a byte like any other) while
// the session runs, and the terminal's modes come back on every way out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TerminalIo {
public:
    using Bytes = std::vector<std::uint8_t>;

    virtual ~TerminalIo() = default;
    virtual bool InputIsTerminal() const = 0;
    // One line on standard error, before the session starts.
    virtual void Notice(const std::string& line) = 0;
    // From now on each chunk of input goes to onInput as it arrives (nothing more after its end),
    // and SIGINT, SIGTERM or SIGHUP call onEnd.
    virtual void Start(std::function<void(const Bytes&)> onInput, std::function<void()> onEnd) = 0;
    // Writes to standard output at once, byte for byte.
    virtual void WriteOutput(const Bytes& bytes) = 0;
    // Puts the terminal's modes and the signals back as they were.
    virtual void Stop() = 0;
};
