#include "tools/chip_arguments.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <getopt.h>
#include <map>
#include <vector>

const char* const kChipUsage =
    "usage: virtual_chip --link PATH [--log FILE] [--version N] [--silent] [--wrong-bit K]\n"
    "                    [--stray N] [--checksum-fail] [--write-fail] [--verify-fail]\n"
    "                    [--silent-after-image] [--answer-polls N] [--garbage]\n"
    "                    [--eeprom-busy-ms N] [--checksum-busy-ms N]\n"
    "                    [--unplug-after-bytes N] [--unplug-at handshake|image|eeprom]\n"
    "                    [--stop-reading-at handshake|image|eeprom]\n"
    "                    [--program GREETING [--program-line TEXT] [--program-every-ms N]\n"
    "                     [--program-at-start]]\n"
    "       virtual_chip --help\n";

namespace {

bool ParseNumber(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

}  // namespace

bool ParseChipArguments(int argc, char** argv, ChipArguments& out, std::string* error)
{
    constexpr std::int64_t kMaxCount = 1000000000;
    RomChipOptions& chip = out.chip;
    const std::map<std::string, bool*> flags = {
        {"help", &out.help},
        {"silent", &chip.silent},
        {"checksum-fail", &chip.checksumFail},
        {"write-fail", &chip.eepromWriteFail},
        {"verify-fail", &chip.eepromVerifyFail},
        {"silent-after-image", &chip.silentAfterImage},
        {"garbage", &chip.garbage},
        {"program-at-start", &out.program.atStart},
    };
    const std::map<std::string, std::string*> texts = {
        {"link", &out.link}, {"log", &out.logFile}, {"program", &out.program.greeting}, {"program-line", &out.program.line}};
    struct NumberOption {
        std::int64_t low, high;
        std::function<void(std::int64_t)> set;
    };
    const std::map<std::string, NumberOption> numbers = {
        {"version", {0, 255, [&](std::int64_t v) { chip.version = int(v); }}},
        {"wrong-bit", {1, RomChip::kHandshakeBits, [&](std::int64_t v) { chip.wrongBitAt = int(v); }}},
        {"stray", {0, 65536, [&](std::int64_t v) { chip.strayBytes = int(v); }}},
        {"answer-polls", {0, kMaxCount, [&](std::int64_t v) { chip.answerPolls = int(v); }}},
        {"eeprom-busy-ms", {0, kMaxCount, [&](std::int64_t v) { chip.eepromBusyMs = v; }}},
        {"checksum-busy-ms", {0, kMaxCount, [&](std::int64_t v) { chip.checksumBusyMs = v; }}},
        {"unplug-after-bytes", {1, INT64_MAX, [&](std::int64_t v) { out.unplugAfterBytes = v; }}},
        {"program-every-ms", {1, kMaxCount, [&](std::int64_t v) { out.program.everyMs = v; }}},
    };
    const std::map<std::string, FaultPhase> phases = {
        {"handshake", FaultPhase::Handshake}, {"image", FaultPhase::Image}, {"eeprom", FaultPhase::Eeprom}};
    const std::map<std::string, FaultPhase*> phaseOptions = {{"unplug-at", &out.unplugAt},
                                                             {"stop-reading-at", &out.stopReadingAt}};

    std::vector<option> longOptions;
    for (const auto& [name, ignored] : flags)
        longOptions.push_back({name.c_str(), no_argument, nullptr, 0});
    for (const auto& [name, ignored] : texts)
        longOptions.push_back({name.c_str(), required_argument, nullptr, 0});
    for (const auto& [name, ignored] : numbers)
        longOptions.push_back({name.c_str(), required_argument, nullptr, 0});
    for (const auto& [name, ignored] : phaseOptions)
        longOptions.push_back({name.c_str(), required_argument, nullptr, 0});
    longOptions.push_back({nullptr, 0, nullptr, 0});

    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    // Our own messages instead of getopt's; "+" takes options only up to the first other word.
    opterr = 0;
    optind = 0;
    int index = -1;
    for (int got; (got = getopt_long(argc, argv, "+:", longOptions.data(), &index)) != -1; index = -1) {
        if (got == ':')
            return fail(std::string(argv[optind - 1]) + " needs a value");
        if (got != 0)
            return fail("unknown option " + (optopt ? std::string("-") + char(optopt) : std::string(argv[optind - 1])));
        const std::string name = longOptions[std::size_t(index)].name;
        const std::string value = optarg ? optarg : "";
        if (const auto flag = flags.find(name); flag != flags.end()) {
            *flag->second = true;
        } else if (const auto text = texts.find(name); text != texts.end()) {
            *text->second = value;
        } else if (const auto phaseOption = phaseOptions.find(name); phaseOption != phaseOptions.end()) {
            const auto phase = phases.find(value);
            if (phase == phases.end())
                return fail("--" + name + " takes handshake, image or eeprom, not " + value);
            *phaseOption->second = phase->second;
        } else {
            const NumberOption& option = numbers.at(name);
            std::int64_t number = 0;
            if (!ParseNumber(value, option.low, option.high, number))
                return fail("--" + name + " takes a whole number from " + std::to_string(option.low) + " to " +
                            std::to_string(option.high) + ", not " + value);
            option.set(number);
        }
    }
    if (optind < argc)
        return fail(std::string("unexpected argument ") + argv[optind]);
    if (out.link.empty() && !out.help)
        return fail("--link PATH is required");
    if (out.program.greeting.empty() && (out.program.atStart || !out.program.line.empty()))
        return fail("--program-line and --program-at-start need --program GREETING");
    return true;
}
