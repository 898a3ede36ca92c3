// How a board reads on the terminal and in a log: its result line, its live line, the summary.
#pragma once

#include <string>

#include "gang/board.h"

// The loader's message on one line: its line breaks become "; ", empty lines go.
std::string JoinedMessage(const std::string& message);
// "COM3 (/dev/ttyUSB2)"; "COM4 (no device)" when the port map names none.
std::string PortName(const Board& board);
// "COM3 (/dev/ttyUSB2): Download to Eeprom successful - Sent 90141 bytes"
std::string ResultLine(const Board& board);
// "COM3 (/dev/ttyUSB2): 42 %, 3.1 s" while the board is at work.
std::string LiveLine(const Board& board, GangClock::time_point now);
// "7 of 8 boards loaded"
std::string SummaryLine(int loaded, int boards);
