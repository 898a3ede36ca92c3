// Reading and rewriting the program's own files (the settings store, the port map) only when
// they are regular files: a device, FIFO, folder or socket at the path, after its links, is
// never opened, so a store linked to /dev/null stores nothing and a FIFO cannot hang a run.
#pragma once

#include <functional>
#include <string>

struct PlainFileText {
    bool usable = false;  // a regular file that was read, or nothing there yet
    std::string text;     // "" when there is no file
};

PlainFileText ReadPlainFile(const std::string& path);

// Replaces the file at path with what edit makes of its text, in one atomic write: a new file
// beside the target of path's links, synced, then renamed over that target, so a link stays a
// link and a crash or a full disk leaves the old file whole. Writers take turns on a lock for
// the read and the write. False when the file is not plain or could not be written.
bool RewritePlainFile(const std::string& path, const std::function<std::string(const std::string&)>& edit);

// Creates folder and its missing parents, private to the user; true when it exists afterwards.
bool MakeFolders(const std::string& folder);
