#include "gang/gang_options.h"

#include <getopt.h>

#include <algorithm>

#include "gang/port_list.h"

namespace {

enum OptionCode { kPorts = 1000, kFound, kEeprom, kDense, kBaud, kBreak, kReport, kHelp, kVersion };

const option kLongOptions[] = {
    {"ports", required_argument, nullptr, kPorts},  {"found", no_argument, nullptr, kFound},
    {"eeprom", no_argument, nullptr, kEeprom},      {"dense", no_argument, nullptr, kDense},
    {"baud", required_argument, nullptr, kBaud},    {"break", no_argument, nullptr, kBreak},
    {"report", required_argument, nullptr, kReport}, {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},    {nullptr, 0, nullptr, 0},
};

GangCommandLine Refused(const std::string& why)
{
    GangCommandLine line;
    line.command = GangCommand::UsageError;
    line.error = why;
    return line;
}

bool KnownBaud(const std::string& rate)
{
    return std::any_of(std::begin(kBaudRates), std::end(kBaudRates), [&](const char* known) { return rate == known; });
}

std::string BaudList()
{
    std::string list;
    for (const char* rate : kBaudRates)
        list += (list.empty() ? "" : " ") + std::string(rate);
    return list;
}

// The word getopt stopped at: an unknown option, or one missing its value.
std::string Offending(char** argv)
{
    if (optopt != 0 && optopt < kPorts)
        return std::string("-") + static_cast<char>(optopt);
    return argv[optind - 1];
}

}  // namespace

GangCommandLine ParseGangOptions(const std::vector<std::string>& args)
{
    std::vector<std::string> words = {"pellik32-gang"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    GangCommandLine line;
    GangOptions& o = line.options;
    bool found = false;
    optind = 0;  // a fresh scan each call
    opterr = 0;  // the messages are ours
    for (int code; (code = getopt_long(argc, argv.data(), ":", kLongOptions, nullptr)) != -1;) {
        const std::string value = optarg ? optarg : "";
        switch (code) {
        case kPorts: {
            const auto ports = ParsePortList(value);
            if (!ports)
                return Refused("--ports '" + value + "': not a list of port numbers 1 to 32767 such as 1-8,12");
            if (ports->size() > kMostBoards)
                return Refused("--ports '" + value + "': more than " + std::to_string(kMostBoards) + " ports");
            o.ports = *ports;
            break;
        }
        case kFound: found = true; break;
        case kEeprom: o.eeprom = true; break;
        case kDense: o.dense = true; break;
        case kBreak: o.useBreak = true; break;
        case kReport:
            if (value.empty())
                return Refused("--report needs a file name");
            o.reportFile = value;
            break;
        case kBaud:
            if (!KnownBaud(value))
                return Refused("Invalid Baud Rate '" + value + "': one of " + BaudList());
            o.baud = value;
            break;
        case kHelp: line.command = GangCommand::Help; return line;
        case kVersion: line.command = GangCommand::Version; return line;
        case ':': return Refused("option '" + Offending(argv.data()) + "' needs a value");
        default: return Refused("unknown option '" + Offending(argv.data()) + "'");
        }
    }
    if (found && !o.ports.empty())
        return Refused("--ports and --found exclude each other");
    if (optind == argc)
        return Refused("no IMAGE given");
    if (optind + 1 < argc)
        return Refused("one IMAGE only, not also '" + std::string(argv[optind + 1]) + "'");
    o.image = argv[optind];
    return line;
}
