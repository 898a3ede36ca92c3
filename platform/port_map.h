// The port map: ports.conf beside the settings store, section "Ports", keys "COM1", "COM2", ...
// The user writes it; the program reads it at each open and never writes it.
#pragma once

#include <optional>
#include <string>

struct PortDevice {
    std::string path;     // the device to open; "" when the port leads to no device
    std::string whyNone;  // then why, as the user reads it after "COM<n>: "
};

// The device of COM port N (1 to SerialControl::kHighestPort): the map's "COM"+N when the user set one (a value not starting with
// "/" is a name under /dev), else /dev/ttyUSB(N-1). No device for any other N, for an
// empty value, and for every port while a ports.conf exists that cannot be read as a plain file.
PortDevice SerialDevice(const std::string& app, int port);

// The value of key in the "Ports" section of a map's text, byte for byte: lines "key=value"
// (ended by LF, CR LF or CR), blanks around key and value ignored, lines starting with ";" or
// "#" are comments; the last of the same key counts.
std::optional<std::string> PortMapValue(const std::string& text, const std::string& key);
