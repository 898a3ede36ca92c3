// The block of live lines at the bottom of a terminal, one per board at work, redrawn in place
// with ANSI cursor movement; finished lines are printed above it and scroll away as usual.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class LiveView {
public:
    // out is a terminal that understands ANSI cursor movement.
    explicit LiveView(std::FILE* out) : m_out(out) {}

    // Replaces the block with lines, each cut to the terminal's width so none wraps.
    void Draw(const std::vector<std::string>& lines);
    // Prints a line where the block was; the block is drawn again below it by the next Draw.
    void PrintAbove(const std::string& line);
    void Erase();

private:
    std::string EraseCodes() const;
    int Columns() const;

    std::FILE* m_out;
    std::vector<std::string> m_lines;  // as drawn last
};
