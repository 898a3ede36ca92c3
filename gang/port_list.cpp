#include "gang/port_list.h"

#include <algorithm>
#include <set>

namespace {

constexpr int kHighestPort = 32767;  // what a port's 16-bit number holds
constexpr std::size_t kMostDigits = 5;

std::optional<int> PortNumber(const std::string& text)
{
    if (text.empty() || text.size() > kMostDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < 1 || value > kHighestPort)
        return std::nullopt;
    return value;
}

// One item: a number, or a range "a-b" whose first number is not above its last.
bool AppendItem(const std::string& item, std::vector<int>& ports, std::set<int>& seen)
{
    const std::size_t dash = item.find('-');
    const std::optional<int> first = PortNumber(item.substr(0, dash));
    const std::optional<int> last = dash == std::string::npos ? first : PortNumber(item.substr(dash + 1));
    if (!first || !last || *first > *last)
        return false;
    for (int port = *first; port <= *last; ++port) {
        if (seen.insert(port).second)
            ports.push_back(port);
    }
    return true;
}

}  // namespace

std::optional<std::vector<int>> ParsePortList(const std::string& text)
{
    std::vector<int> ports;
    std::set<int> seen;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (!AppendItem(text.substr(start, comma - start), ports, seen))
            return std::nullopt;
        if (comma == std::string::npos)
            return ports;
        start = comma + 1;
    }
}
