// The port list of --ports: "1-8,12" to the COM numbers 1 to 8 and 12.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Items separated by commas, each a number or a range a-b with a <= b, numbers 1 to 32767;
// repeats are dropped and the first order kept. Nothing when the text is anything else.
std::optional<std::vector<int>> ParsePortList(const std::string& text);
