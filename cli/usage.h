// The usage text: the command-line syntax in the "-" or the "/" form, shown as an information message.
#pragma once

#include <string>

#include "loader/loader.h"

void ShowUsage(Loader& ld, const std::string& prefix);
// The usage lines in the "-" form, or converted to the "/" form when prefix is "/".
std::string UsageText(const std::string& prefix);
