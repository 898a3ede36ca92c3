// The program's only report channel: error and information messages and the usage text.
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
void ShowUsage(Loader& ld, const std::string& prefix);
// The usage lines in the "-" form, or converted to the "/" form when prefix is "/".
std::string UsageText(const std::string& prefix);
