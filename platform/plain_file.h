// Reading the program's own files (the settings store, the port map) only when they are regular
// files: a device, FIFO, folder or socket at the path, after its links, is never opened, so a
// store linked to /dev/null stores nothing and a FIFO cannot hang a run.
#pragma once

#include <string>

struct PlainFileText {
    bool usable = false;  // a regular file that was read, or nothing there yet
    std::string text;     // "" when there is no file
    std::string why;      // when not usable: why, for the log ("Permission denied", "a FIFO, not a plain file")
};

PlainFileText ReadPlainFile(const std::string& path);

// "" when path, after its links, is a regular file or nothing yet; otherwise why it cannot be
// one of the program's files, for the log.
std::string WhyNotPlainFile(const std::string& path);

// Creates folder and its missing parents, private to the user; true when it exists afterwards.
bool MakeFolders(const std::string& folder);
