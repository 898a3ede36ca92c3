#include "tools/chip_log.h"

#include <cstdio>

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ValueJson(const EventValue& value)
{
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? "true" : "false";
    if (const std::int64_t* number = std::get_if<std::int64_t>(&value))
        return std::to_string(*number);
    return Quoted(std::get<std::string>(value));
}

}  // namespace

std::string EventJson(const ChipEvent& event)
{
    std::string line = "{\"event\":" + Quoted(event.type) + ",\"ms\":" + std::to_string(event.atMs);
    for (const auto& [key, value] : event.fields)
        line += "," + Quoted(key) + ":" + ValueJson(value);
    return line + "}";
}
