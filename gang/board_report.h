// What a board's process tells the gang over its pipe: one line for each thing it has to say.
#pragma once

#include <optional>
#include <string>

enum class ReportKind {
    Chip,      // the search found a chip on the port: it is a board
    Absent,    // the search found none: not a board, nothing more follows
    Phase,     // text: what the board is doing, before any progress
    Progress,  // percent of the image sent
    Loaded,    // text: the loader's message of success
    Failed,    // text: the loader's message of failure
};

struct BoardReport {
    ReportKind kind = ReportKind::Phase;
    std::string text;
    int percent = 0;
};

// One line ending in "\n"; the loader's CR LF and any other line break are escaped.
std::string EncodeReport(const BoardReport& report);
// The report of a line without its "\n"; nothing for a line no board process writes.
std::optional<BoardReport> DecodeReport(const std::string& line);
