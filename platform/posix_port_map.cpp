#include "platform/port_map.h"

#include <algorithm>

#include "platform/config_folder.h"
#include "platform/plain_file.h"
#include "text/trim_spaces.h"

namespace {

constexpr int kHighestPort = 32767;  // what a port's 16-bit number holds
constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::string> PortMapValue(const std::string& text, const std::string& key)
{
    std::optional<std::string> value;
    bool inPorts = false;
    for (std::size_t pos = text.rfind(kUtf8Mark, 0) == 0 ? 3 : 0; pos < text.size();) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
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

std::string SerialDevicePath(const std::string& app, int port)
{
    if (port < 1 || port > kHighestPort)
        return "";
    std::optional<std::string> mapped;
    if (const std::string folder = ConfigFolder(app); !folder.empty()) {
        const PlainFileText map = ReadPlainFile(folder + "/ports.conf");
        mapped = PortMapValue(map.text, "COM" + std::to_string(port));
    }
    if (!mapped)
        return "/dev/ttyUSB" + std::to_string(port - 1);
    if (!mapped->empty() && mapped->find('/') == std::string::npos)
        return "/dev/" + *mapped;  // a device's name, as the serial library takes it
    return *mapped;
}
