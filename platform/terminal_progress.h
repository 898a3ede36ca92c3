// A one-line text progress bar on a terminal that follows the window's progress value during a
// command-line download, and gets out of the way before a message is printed.
#pragma once

#include <cstdio>
#include <string>

class TerminalProgress {
public:
    // Draws nothing when enabled is false (the stream is not a terminal).
    TerminalProgress(std::FILE* stream, bool enabled) : m_stream(stream), m_enabled(enabled) {}

    // Redraws the line when percent (0 to 100) has changed.
    void Follow(int percent);
    // Clears the line if a bar is shown; the next change draws it again.
    void Erase();

    static std::string BarText(int percent);

private:
    void Write(const std::string& text);

    std::FILE* m_stream;
    bool m_enabled;
    bool m_shown = false;
    int m_percent = 0;
};
