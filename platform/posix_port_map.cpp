#include "platform/port_map.h"

#include <algorithm>

#include "platform/config_folder.h"
#include "platform/plain_file.h"
#include "platform/serial_control.h"
#include "text/trim_spaces.h"

namespace {

constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::string> PortMapValue(const std::string& text, const std::string& key)
{
    std::optional<std::string> value;
    bool inPorts = false;
    for (std::size_t pos = text.rfind(kUtf8Mark, 0) == 0 ? 3 : 0; pos < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string line = TrimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inPorts = TrimBlanks(line.substr(1, line.find(']') - 1)) == "Ports";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inPorts && equals != std::string::npos && TrimBlanks(line.substr(0, equals)) == key)
            value = TrimBlanks(line.substr(equals + 1));
    }
    return value;
}

PortDevice SerialDevice(const std::string& app, int port)
{
    if (port < 1 || port > SerialControl::kHighestPort)
        return {"", "not in the port map's range (1 to " + std::to_string(SerialControl::kHighestPort) + ")"};
    std::optional<std::string> mapped;
    if (const std::string folder = ConfigFolder(app); !folder.empty()) {
        const PlainFileText map = ReadPlainFile(folder + "/ports.conf");
        // A map the user wrote but that cannot be read must not send a port to a device the user
        // did not name.
        if (!map.usable)
            return {"", "ports.conf cannot be read (" + map.why + ")"};
        mapped = PortMapValue(map.text, "COM" + std::to_string(port));
    }
    if (!mapped)
        return {"/dev/ttyUSB" + std::to_string(port - 1), ""};
    if (mapped->empty())
        return {"", "ports.conf maps it to no device"};
    return {(*mapped)[0] == '/' ? *mapped : "/dev/" + *mapped, ""};
}
