// The command line of pellik32-gang: GNU-style options read with getopt_long, and the one image.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "loader/loader_state.h"

// More boards than a hub tray holds is a typing slip (1-32767), not a run of 32767 processes.
constexpr std::size_t kMostBoards = 256;

struct GangOptions {
    std::vector<int> ports;  // --ports; empty: the ports among COM1 to COM10 where a chip answers
    bool eeprom = false;
    bool dense = false;
    bool useBreak = false;
    std::string baud = kDefaultBaud;
    std::string reportFile;  // "" : no report
    std::string image;
};

enum class GangCommand { Run, Help, Version, UsageError };

struct GangCommandLine {
    GangCommand command = GangCommand::Run;
    GangOptions options;
    std::string error;  // why, for a usage error: one line without the program's name
};

// args are the words after the program's name.
GangCommandLine ParseGangOptions(const std::vector<std::string>& args);
