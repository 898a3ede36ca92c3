// Trimming as the program does it everywhere: spaces only; tabs and other characters stay.
#pragma once

#include <string>

inline std::string TrimLeadingSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

inline std::string TrimSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
