// One board's part of a gang run: the port and what to load there, as the process serving it gets it.
#pragma once

#include <string>

struct BoardJob {
    int port = 0;
    std::string baud;          // one of the rates an operation takes
    std::string image;         // the path as the user gave it
    bool useBreak = false;
    bool dense = false;
    bool eeprom = false;
    bool searchFirst = false;  // a board only if a chip answers the handshake, as the search finds it
};

// Whose port map names the devices: Pellik32's, beside its settings, so both programs agree on
// what COM3 is.
constexpr const char* kPortMapOwner = "Pellik32";
