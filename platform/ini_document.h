// The lines of an INI file as QSettings reads them (sections, "key=value" entries, ";"
// comments, quoted values across lines), and the file with some entries written: every other
// byte stays as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct IniLine {
    std::size_t start = 0;  // first character
    std::size_t end = 0;    // end of its last physical line (a trailing comment included), before the line end
    bool isSection = false;
    std::string section;    // a header's own name, else the section the entry is in
    std::string key;        // entries only
    std::string rawValue;   // entries only: what follows "=", as it stands
};

struct IniWrite {
    std::string section;
    std::string key;
    std::string value;
};

std::vector<IniLine> ReadIniLines(const std::string& text);
// The text of the last entry for section and key; nothing when there is none.
std::optional<std::string> FindIniValue(const std::vector<IniLine>& lines, const std::string& section,
                                        const std::string& key);
// text with each value written: over the last entry of its key, else after the last line of
// its section, else in a new section at the end.
std::string WriteIniValues(const std::string& text, const std::vector<IniWrite>& writes);
