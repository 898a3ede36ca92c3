#include "platform/ini_values.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Backslash escapes by letter; the first seven are also how control characters are written.
const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                            {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
constexpr int kWrittenEscapes = 7;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

std::string HexEscape(unsigned char c)
{
    const char* digits = "0123456789abcdef";
    std::string out = "\\x";
    if (c >= 16)
        out += digits[c >> 4];
    return out + digits[c & 15];
}

// A character given by number, as UTF-8 (QSettings keeps 16 bits of it).
void AppendCodePoint(std::string& out, std::uint32_t value)
{
    value &= 0xFFFF;
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

void ChopTrailingBlanks(std::string& text, std::size_t limit)
{
    while (text.size() > limit && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
}

// Reads the escape after a backslash at raw[i - 1] into out; i moves past it. An unknown letter
// and a continued line stand for nothing.
void ReadEscape(const std::string& raw, std::size_t& i, std::string& out)
{
    const char c = raw[i++];
    for (const auto& escape : kEscapes) {
        if (c == escape[0]) {
            out += escape[1];
            return;
        }
    }
    const bool hex = c == 'x' && i < raw.size() && IsHexDigit(raw[i]);
    if (hex || (c >= '0' && c <= '7')) {
        std::uint32_t value = hex ? 0 : static_cast<std::uint32_t>(c - '0');
        while (i < raw.size() && (hex ? IsHexDigit(raw[i]) : (raw[i] >= '0' && raw[i] <= '7')))
            value = value * (hex ? 16 : 8) + static_cast<std::uint32_t>(HexValue(raw[i++]));
        AppendCodePoint(out, value);
    } else if ((c == '\n' || c == '\r') && i < raw.size() && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != c) {
        ++i;  // a continued line's two-character line end
    }
}

}  // namespace

std::string IniValueRaw(const std::string& value)
{
    // A text starting with "@" gets a second one, so it is not read as a typed value.
    const std::string text = !value.empty() && value[0] == '@' ? "@" + value : value;
    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;  // a digit after a \x escape would read as part of it
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        if (escapeNextIfHex && IsHexDigit(c)) {
            out += HexEscape(byte);
            continue;
        }
        escapeNextIfHex = false;
        const auto named = std::find_if(kEscapes, kEscapes + kWrittenEscapes, [c](const char* e) { return e[1] == c; });
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (named != kEscapes + kWrittenEscapes) {
            out += '\\';
            out += (*named)[0];
        } else if (c == '\0') {
            out += "\\0";
            escapeNextIfHex = true;
        } else if (byte <= 0x1F) {
            out += HexEscape(byte);
            escapeNextIfHex = true;
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        return '"' + out + '"';
    return out;
}

std::optional<std::string> IniValueText(const std::string& raw)
{
    std::vector<std::string> items;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;  // the current item had quotes: its blanks are its own
    std::string current;
    std::size_t chopLimit = 0;  // blanks before this point were quoted or escaped
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        chopLimit = current.size();
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            chopLimit = current.size();
            if (++i == raw.size())
                break;
            ReadEscape(raw, i, current);
            chopLimit = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                ChopTrailingBlanks(current, chopLimit);
            items.push_back(current);
            current.clear();
            isList = true;
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            const std::size_t end = raw.find_first_of(inQuotes ? "\\\"" : "\\\",", i);
            current.append(raw, i, (end == std::string::npos ? raw.size() : end) - i);
            i = end == std::string::npos ? raw.size() : end;
        }
    }
    if (!quoted)
        ChopTrailingBlanks(current, chopLimit);
    if (isList) {
        items.push_back(current);
        std::string joined;
        for (std::size_t n = 0; n < items.size(); ++n)
            joined += (n ? "," : "") + items[n];
        return joined;
    }

    // The types QSettings marks with "@" that a text can stand for.
    const std::string kByteArray = "@ByteArray(";
    if (current.rfind("@@", 0) == 0)
        return current.substr(1);
    if (current == "@Invalid()")
        return std::nullopt;
    if (current.rfind(kByteArray, 0) == 0 && current.back() == ')')
        return current.substr(kByteArray.size(), current.size() - kByteArray.size() - 1);
    return current;
}
