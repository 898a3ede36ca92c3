// Program entry: picks the run mode, builds the message title and runs the window, the usage
// message or the command line.
#pragma once

#include <functional>
#include <string>

#include "loader/loader.h"

constexpr int kVersionMajor = 2;
constexpr int kVersionMinor = 0;

// "Ulvane Propeller Downloader 2.00", with the build tag " - KR6 32-Bit" when withBuildTag.
std::string BuildTitle(int major, int minor, bool withBuildTag);

// Version: "--version" as the line's only token, the Linux habit, answered before any parsing.
enum class RunMode { Window, Usage, CommandLine, Version };
RunMode ChooseRunMode(const std::string& trimmedArguments);

struct EntryServices {
    std::string argumentText;              // argv after the program name, joined with blanks
    int versionMajor = kVersionMajor;
    int versionMinor = kVersionMinor;
    std::string packageVersion;            // "2.0.0", as --version prints it
    std::function<int(Loader&)> runWindow; // shows frmPellik, runs until it closes, gives the exit status
    // The terminal of a command-line run, on the platform's standard streams.
    std::function<void(Loader&, bool afterOperation)> runTerminal;
};

// Runs the program in mode, which the caller has chosen with ChooseRunMode from the trimmed
// argument text (it sets up its platform parts for it first); returns the exit status (1 when an
// error was reported in a command-line or usage run).
int Main(Loader& ld, RunMode mode, const EntryServices& services);
