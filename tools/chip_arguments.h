// The command line of the virtual_chip program: where to listen, where to log and which faults to play.
#pragma once

#include <cstdint>
#include <string>

#include "tools/loaded_program.h"
#include "tools/rom_chip.h"

// Where in a session a fault (an unplug, a far end that stops reading) happens.
enum class FaultPhase { Never, Handshake, Image, Eeprom };

struct ChipArguments {
    std::string link;                   // symlink made to the pseudo-terminal
    std::string logFile;                // JSON lines; empty: no log
    bool help = false;                  // --help: print the usage and do nothing else
    RomChipOptions chip;
    std::int64_t unplugAfterBytes = -1; // -1: never
    FaultPhase unplugAt = FaultPhase::Never;
    FaultPhase stopReadingAt = FaultPhase::Never;  // then takes no more data: the host's output backs up
    ProgramOptions program;
};

extern const char* const kChipUsage;

// Parses main's argc and argv. On a bad option returns false with *error saying why.
bool ParseChipArguments(int argc, char** argv, ChipArguments& out, std::string* error);
