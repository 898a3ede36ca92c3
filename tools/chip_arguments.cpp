#include "tools/chip_arguments.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

const char* const kChipUsage =
    "usage: virtual_chip --link PATH [--log FILE] [--version N] [--silent] [--wrong-bit K]\n"
    "                    [--stray N] [--checksum-fail] [--write-fail] [--verify-fail]\n"
    "                    [--silent-after-image] [--answer-polls N] [--garbage]\n"
    "                    [--eeprom-busy-ms N] [--checksum-busy-ms N]\n"
    "                    [--unplug-after-bytes N] [--unplug-at handshake|image|eeprom]\n"
    "                    [--stop-reading-at handshake|image|eeprom]\n";

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

bool ParseChipArguments(const std::vector<std::string>& args, ChipArguments& out, std::string* error)
{
    constexpr std::int64_t kMaxCount = 1000000000;
    RomChipOptions& chip = out.chip;
    const std::map<std::string, bool*> flags = {
        {"--silent", &chip.silent},
        {"--checksum-fail", &chip.checksumFail},
        {"--write-fail", &chip.eepromWriteFail},
        {"--verify-fail", &chip.eepromVerifyFail},
        {"--silent-after-image", &chip.silentAfterImage},
        {"--garbage", &chip.garbage},
    };
    struct NumberOption {
        std::int64_t low, high;
        std::function<void(std::int64_t)> set;
    };
    const std::map<std::string, NumberOption> numbers = {
        {"--version", {0, 255, [&](std::int64_t v) { chip.version = int(v); }}},
        {"--wrong-bit", {1, RomChip::kHandshakeBits, [&](std::int64_t v) { chip.wrongBitAt = int(v); }}},
        {"--stray", {0, 65536, [&](std::int64_t v) { chip.strayBytes = int(v); }}},
        {"--answer-polls", {0, kMaxCount, [&](std::int64_t v) { chip.answerPolls = int(v); }}},
        {"--eeprom-busy-ms", {0, kMaxCount, [&](std::int64_t v) { chip.eepromBusyMs = v; }}},
        {"--checksum-busy-ms", {0, kMaxCount, [&](std::int64_t v) { chip.checksumBusyMs = v; }}},
        {"--unplug-after-bytes", {1, INT64_MAX, [&](std::int64_t v) { out.unplugAfterBytes = v; }}},
    };
    const std::map<std::string, FaultPhase> phases = {
        {"handshake", FaultPhase::Handshake}, {"image", FaultPhase::Image}, {"eeprom", FaultPhase::Eeprom}};
    const std::map<std::string, FaultPhase*> phaseOptions = {{"--unplug-at", &out.unplugAt},
                                                             {"--stop-reading-at", &out.stopReadingAt}};

    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (const auto flag = flags.find(name); flag != flags.end()) {
            *flag->second = true;
            continue;
        }
        const bool takesValue = name == "--link" || name == "--log" || phaseOptions.count(name) || numbers.count(name);
        if (!takesValue)
            return fail("unknown option " + name);
        if (i + 1 >= args.size())
            return fail(name + " needs a value");
        const std::string& value = args[++i];
        if (name == "--link") {
            out.link = value;
        } else if (name == "--log") {
            out.logFile = value;
        } else if (phaseOptions.count(name)) {
            const auto phase = phases.find(value);
            if (phase == phases.end())
                return fail(name + " takes handshake, image or eeprom, not " + value);
            *phaseOptions.at(name) = phase->second;
        } else {
            const NumberOption& option = numbers.at(name);
            std::int64_t number = 0;
            if (!ParseNumber(value, option.low, option.high, number))
                return fail(name + " takes a whole number from " + std::to_string(option.low) + " to " +
                            std::to_string(option.high) + ", not " + value);
            option.set(number);
        }
    }
    if (out.link.empty())
        return fail("--link PATH is required");
    return true;
}
