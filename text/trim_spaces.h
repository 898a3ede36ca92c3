// Trimming as the program does it everywhere: spaces only; tabs and other characters stay.
#pragma once

#include <string>

inline std::string TrimLeadingSpaces(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first);
}

inline std::string TrimTrailingSpaces(const std::string& text)
{
    const auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? "" : text.substr(0, last + 1);
}

inline std::string TrimSpaces(const std::string& text)
{
    return TrimLeadingSpaces(TrimTrailingSpaces(text));
}
