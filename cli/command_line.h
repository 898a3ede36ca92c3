// A command-line run: settings switches in order, then at most one operation, file name or error.
#pragma once

#include <string>

#include "loader/loader.h"
#include "loader/operations.h"

enum class SeparatorMode { Convert, AsTyped };

void RunCommandLine(Loader& ld, const Operations& ops);
void ParseSwitch(Loader& ld, const Operations& ops, const std::string& prefix, const std::string& token);
void ParseFilename(Loader& ld, const Operations& ops, SeparatorMode mode, const std::string& token);
// Runs the operation and, when the line asked for the terminal and the operation reported no
// error, the terminal on the port it left open.
void RunThenTerminal(Loader& ld, const Operations& ops, const std::function<void(Loader&)>& operation);
