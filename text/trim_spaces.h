// Trimming as the program does it to what the user types: spaces only; tabs and other characters
// stay. The files it reads are trimmed of all blanks.
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

// A file's line or part of one without the blanks around it: spaces, tabs, and the carriage
// return of a line written on another system.
inline std::string TrimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}
