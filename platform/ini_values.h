// A value's text in an INI file as QSettings writes and reads it (quotes, backslash escapes,
// "@" marking a type), so stores that QSettings wrote read the same. Bytes stay bytes.
#pragma once

#include <optional>
#include <string>

// The text to put after "key=" for value, exactly as QSettings writes a text.
std::string IniValueRaw(const std::string& value);
// The text a value's raw characters (after "=", up to the line's end) stand for; nothing for a
// value QSettings reads as "not set" ("@Invalid()"). Unquoted commas make a list in QSettings;
// its items come back joined with ",".
std::optional<std::string> IniValueText(const std::string& raw);
