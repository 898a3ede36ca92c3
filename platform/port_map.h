// The port map: ports.conf beside the settings store, section "Ports", keys "COM1", "COM2", ...
// The user writes it; the program reads it at each open and never writes it.
#pragma once

#include <optional>
#include <string>

// The device of COM port N: the map's "COM"+N when the user set one (a name without "/" is the
// device of that name in /dev), else /dev/ttyUSB(N-1); "" for N outside 1..32767, which no
// open can succeed on.
std::string SerialDevicePath(const std::string& app, int port);

// The value of key in the "Ports" section of a map's text, byte for byte: lines "key=value",
// blanks around key and value ignored, lines starting with ";" or "#" are comments; the last
// of the same key counts.
std::optional<std::string> PortMapValue(const std::string& text, const std::string& key);
