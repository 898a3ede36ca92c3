#include "gang/board_text.h"

#include <cstdio>

namespace {

// What a board does now, in a word or two.
std::string Activity(const Board& board)
{
    if (board.state == BoardState::Searching)
        return "searching";
    if (board.percent < 0)
        return board.phase.empty() ? "starting" : board.phase;
    if (board.percent < 100)
        return std::to_string(board.percent) + " %";
    // The image has gone; the chip's answers are awaited.
    return board.job.eeprom ? "writing the EEPROM" : "checking";
}

}  // namespace

std::string JoinedMessage(const std::string& message)
{
    std::string joined;
    std::size_t start = 0;
    while (start <= message.size()) {
        const std::size_t end = std::min(message.find_first_of("\r\n", start), message.size());
        if (end > start)
            joined += (joined.empty() ? "" : "; ") + message.substr(start, end - start);
        start = end + 1;
    }
    return joined;
}

std::string PortName(const Board& board)
{
    return "COM" + std::to_string(board.job.port) + " (" + (board.device.empty() ? "no device" : board.device) + ")";
}

std::string ResultLine(const Board& board)
{
    return PortName(board) + ": " + JoinedMessage(board.message);
}

std::string LiveLine(const Board& board, GangClock::time_point now)
{
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s", std::chrono::duration<double>(now - board.started).count());
    return PortName(board) + ": " + Activity(board) + ", " + elapsed;
}

std::string SummaryLine(int loaded, int boards)
{
    return std::to_string(loaded) + " of " + std::to_string(boards) + (boards == 1 ? " board" : " boards") + " loaded";
}
