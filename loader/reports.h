// The program's only report channel: the error and information messages of the operations and
// the command line, and how they write numbers and echo the arguments.
#pragma once

#include <cstdint>
#include <string>

#include "loader/loader.h"

extern const char* const kCrLf;  // "\r\n"

// A number as messages write it: one leading blank for values that are not negative (" 34").
std::string NumberText(std::int64_t value);
// The program's argument text with leading and trailing blanks removed, as error messages echo it.
std::string EchoText(const Loader& ld);

void ReportError(Loader& ld, const std::string& text);
void ReportInfo(Loader& ld, const std::string& text);
