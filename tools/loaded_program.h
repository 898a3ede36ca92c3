// What the virtual chip runs once an image has been loaded (or from the start, as a board whose
// EEPROM already holds a program): a greeting, then a numbered line every few milliseconds, and
// an echo of every byte it receives, so a terminal after the load has something to show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ProgramOptions {
    std::string greeting;        // printed when the program starts; empty: no program at all
    std::string line;            // printed as "<line> <n>" every everyMs; empty: none
    std::int64_t everyMs = 1000;
    bool atStart = false;        // runs from the start, before any download
};

class LoadedProgram {
public:
    explicit LoadedProgram(ProgramOptions options) : m_options(std::move(options)) {}

    bool Wanted() const { return !m_options.greeting.empty(); }
    bool Running() const { return m_running; }
    // Starts the program: its greeting.
    std::vector<std::uint8_t> Start(std::int64_t nowMs);
    void Stop() { m_running = false; }
    // The answer to what it received: the same bytes, but late polls of the loader, which a
    // running program ignores.
    std::vector<std::uint8_t> Echo(const std::vector<std::uint8_t>& input) const;
    // The lines due by nowMs.
    std::vector<std::uint8_t> Tick(std::int64_t nowMs);
    // When the next line is due; -1 when none will be.
    std::int64_t NextLineMs() const;

private:
    ProgramOptions m_options;
    bool m_running = false;
    std::int64_t m_nextLineMs = 0;
    int m_lines = 0;
};
