#include "platform/ini_document.h"

#include <algorithm>
#include <map>

#include "platform/ini_values.h"
#include "text/trim_spaces.h"

namespace {

constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The next logical line from pos, as QSettings cuts them: from the first non-blank to a line
// end or a ";" outside quotes. A backslash takes the next character with it (a line end too),
// quotes run across line ends, and a line that starts with ";" is a comment. equals is the
// first "=" outside quotes, npos when there is none. False at the end of the text.
bool NextLine(const std::string& text, std::size_t& pos, std::size_t& start, std::size_t& equals)
{
    const std::size_t n = text.size();
    bool inQuotes = false;
    equals = std::string::npos;
    start = pos;
    while (start < n && IsBlank(text[start]))
        ++start;
    std::size_t i = start;
    while (i < n) {
        const char c = text[i++];
        if (c == '=') {
            if (!inQuotes && equals == std::string::npos)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char next = text[i++];
                if (i < n && ((next == '\n' && text[i] == '\r') || (next == '\r' && text[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && text[i] != '\n' && text[i] != '\r')
                    ++i;
                while (i < n && IsBlank(text[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    return i > start;
}

}  // namespace

std::vector<IniLine> ReadIniLines(const std::string& text)
{
    std::vector<IniLine> lines;
    std::string section;
    std::size_t pos = text.rfind(kUtf8Mark, 0) == 0 ? 3 : 0;
    std::size_t start = 0;
    std::size_t equals = 0;
    while (NextLine(text, pos, start, equals)) {
        IniLine line;
        line.start = start;
        // A comment after the line goes with it when the line is rewritten.
        line.end = std::min(text.find_first_of("\n\r", pos), text.size());
        const std::string content = text.substr(start, pos - start);
        if (content[0] == '[') {
            const std::size_t close = content.find(']');
            section = TrimBlanks(content.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            line.isSection = true;
        } else if (equals != std::string::npos) {
            line.key = TrimBlanks(text.substr(start, equals - start));
            line.rawValue = text.substr(equals + 1, pos - equals - 1);
        } else {
            continue;  // QSettings skips a line that is neither
        }
        line.section = section;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::string> FindIniValue(const std::vector<IniLine>& lines, const std::string& section,
                                        const std::string& key)
{
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!line->isSection && line->section == section && line->key == key)
            return IniValueText(line->rawValue);
    }
    return std::nullopt;
}

std::string WriteIniValues(const std::string& text, const std::vector<IniWrite>& writes)
{
    const std::vector<IniLine> lines = ReadIniLines(text);
    std::map<std::size_t, std::string> replaced;             // line index: its new text
    std::map<std::size_t, std::vector<std::string>> after;   // line index: entries to add after it
    std::vector<std::pair<std::string, std::vector<std::string>>> added;  // new sections, in order
    for (const IniWrite& w : writes) {
        const std::string entry = w.key + "=" + IniValueRaw(w.value);
        std::size_t last = lines.size();  // the section's last line
        std::size_t found = lines.size();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].section != w.section)
                continue;
            last = i;
            if (!lines[i].isSection && lines[i].key == w.key)
                found = i;
        }
        if (found < lines.size()) {
            replaced[found] = entry;
        } else if (last < lines.size()) {
            after[last].push_back(entry);
        } else {
            auto section = std::find_if(added.begin(), added.end(), [&](const auto& s) { return s.first == w.section; });
            if (section == added.end())
                section = added.insert(added.end(), {w.section, {}});
            section->second.push_back(entry);
        }
    }

    std::string out;
    out.reserve(text.size() + 256);
    std::size_t copied = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto replacement = replaced.find(i);
        const auto extra = after.find(i);
        if (replacement == replaced.end() && extra == after.end())
            continue;
        out.append(text, copied, lines[i].start - copied);
        out += replacement != replaced.end() ? replacement->second
                                             : text.substr(lines[i].start, lines[i].end - lines[i].start);
        if (extra != after.end())
            for (const std::string& entry : extra->second)
                out += "\n" + entry;
        copied = lines[i].end;
    }
    out.append(text, copied, std::string::npos);
    for (const auto& [section, entries] : added) {
        if (!out.empty())
            out += out.back() == '\n' ? "\n" : "\n\n";
        out += "[" + section + "]\n";
        for (const std::string& entry : entries)
            out += entry + "\n";
    }
    return out;
}
