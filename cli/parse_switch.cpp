#include <algorithm>
#include <functional>
#include <vector>

#include "cli/command_line.h"
#include "cli/usage.h"
#include "loader/reports.h"
#include "text/lower_case.h"
#include "text/numeric_value.h"
#include "text/trim_spaces.h"

namespace {

struct SwitchToken {
    std::string prefix;
    std::string name;      // case kept, for the messages
    std::string keyword;   // name in lower case, for the table
    std::string argument;  // after the first ":", "" when there is none
};

using Handler = void (*)(Loader&, const Operations&, const SwitchToken&);

SwitchToken SplitToken(const std::string& prefix, const std::string& token)
{
    std::string rest = token.empty() ? "" : token.substr(1);
    if (prefix == "-" && !rest.empty() && rest[0] == '-')
        rest.erase(0, 1);  // --com:3 is -com:3; only one extra "-" goes

    SwitchToken t;
    t.prefix = prefix;
    const auto colon = rest.find(':');
    t.name = TrimTrailingSpaces(rest.substr(0, colon));
    if (colon != std::string::npos)
        t.argument = TrimLeadingSpaces(rest.substr(colon + 1));
    t.keyword = t.name;
    std::transform(t.keyword.begin(), t.keyword.end(), t.keyword.begin(), LowerCase);
    return t;
}

void ReportWithEcho(Loader& ld, const std::string& text)
{
    ReportError(ld, text + kCrLf + kCrLf + EchoText(ld));
}

// The token as the messages quote it: '-com:x'.
std::string Quoted(const SwitchToken& t)
{
    return "'" + t.prefix + t.name + ":" + t.argument + "'";
}

// True (after the report) when a switch that takes no argument was given one.
bool RefusedArgument(Loader& ld, const SwitchToken& t)
{
    if (t.argument.empty())
        return false;
    ReportWithEcho(ld, "Invalid Switch : " + Quoted(t));
    return true;
}

bool MissingArgument(Loader& ld, const SwitchToken& t)
{
    if (!t.argument.empty())
        return false;
    ReportWithEcho(ld, "Missing Switch Argument : '" + t.prefix + t.name + "'");
    return true;
}

void EndRun(Loader& ld)
{
    ld.state.CommandLine = "";
    ld.state.ImageFile = kRunFinished;
}

void RunOperation(Loader& ld, const Operations& ops, const std::function<void(Loader&)>& operation)
{
    RunThenTerminal(ld, ops, operation);
    ld.frmPellik.Unload();
    EndRun(ld);
}

void SetBaud(Loader& ld, const Operations&, const SwitchToken& t)
{
    if (MissingArgument(ld, t))
        return;
    bool known = false;
    for (const char* rate : kBaudRates)
        known = known || t.argument == rate;
    if (!known)
        ReportWithEcho(ld, "Invalid Baud Rate : " + Quoted(t));
    else if (!ld.state.BaudText.empty() && ld.state.BaudText != t.argument)
        ReportWithEcho(ld, "Multiple Baud Rate Selection");
    else
        ld.state.BaudText = t.argument;
}

void SetPort(Loader& ld, const Operations&, const SwitchToken& t)
{
    if (MissingArgument(ld, t))
        return;
    const double value = NumericValue(t.argument);
    const auto port = RoundToPort(value);
    if (!(value > 0) || !port)
        ReportWithEcho(ld, "Invalid COM Port : " + Quoted(t));
    // Compared before rounding: -com:3 -com:3.2 names two ports.
    else if (ld.state.PortNumber != 0 && ld.state.PortNumber != value)
        ReportWithEcho(ld, "Multiple COM Port Selection");
    else
        ld.state.PortNumber = *port;
}

// Any rate from 300 to 3000000 baud, in plain digits; no argument: the operation's rate.
void SetTerminal(Loader& ld, const Operations&, const SwitchToken& t)
{
    constexpr long kLowestRate = 300;
    constexpr long kHighestRate = 3000000;
    const std::string& rate = t.argument;
    const bool digits = !rate.empty() && rate.size() <= 7 && rate[0] != '0' &&
                        std::all_of(rate.begin(), rate.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!rate.empty() && !(digits && std::stol(rate) >= kLowestRate && std::stol(rate) <= kHighestRate)) {
        ReportWithEcho(ld, "Invalid Baud Rate : " + Quoted(t));
        return;
    }
    if (!rate.empty() && !ld.state.TerminalBaud.empty() && ld.state.TerminalBaud != rate) {
        ReportWithEcho(ld, "Multiple Baud Rate Selection");
        return;
    }
    ld.state.UseTerminal = true;
    if (!rate.empty())
        ld.state.TerminalBaud = rate;
}

void SetBreak(Loader& ld, const Operations&, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        ld.state.UseBreakReset = true;
}

void SetDense(Loader& ld, const Operations&, const SwitchToken& t)
{
    if (RefusedArgument(ld, t))
        return;
    ld.state.ZeroPattern = kZeroPattern;
    ld.state.OnePattern = kDenseOnePattern;
}

void SetDestination(Loader& ld, const SwitchToken& t, std::int32_t command, std::int32_t other)
{
    if (RefusedArgument(ld, t))
        return;
    if (ld.state.BootCommand == other)
        ReportWithEcho(ld, "Ambiguous Download Destination");
    else
        ld.state.BootCommand = command;
}

void SetRam(Loader& ld, const Operations&, const SwitchToken& t)
{
    SetDestination(ld, t, kBootRam, kBootEeprom);
}

void SetEeprom(Loader& ld, const Operations&, const SwitchToken& t)
{
    SetDestination(ld, t, kBootEeprom, kBootRam);
}

void Find(Loader& ld, const Operations& ops, const SwitchToken&)
{
    // An argument is ignored; the search closes every port it tried, so no terminal follows it.
    ops.FindChips(ld);
    ld.frmPellik.Unload();
    EndRun(ld);
}

void Help(Loader& ld, const Operations&, const SwitchToken& t)
{
    if (RefusedArgument(ld, t))
        return;
    ShowUsage(ld, t.prefix);
    EndRun(ld);
}

void Identify(Loader& ld, const Operations& ops, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        RunOperation(ld, ops, ops.IdentifyChip);
}

void Reboot(Loader& ld, const Operations& ops, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        RunOperation(ld, ops, ops.RebootChip);
}

void Shutdown(Loader& ld, const Operations& ops, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        RunOperation(ld, ops, ops.ShutdownChip);
}

struct SwitchRow {
    std::vector<std::string> keywords;
    Handler handler;
};

const std::vector<SwitchRow>& SwitchTable()
{
    static const std::vector<SwitchRow> table = {
        {{"b", "baud"}, SetBaud},
        {{"break"}, SetBreak},
        {{"com", "p", "port"}, SetPort},
        {{"dense"}, SetDense},
        {{"ram"}, SetRam},
        {{"e", "eprom", "eeprom", "w", "write"}, SetEeprom},
        {{"f", "find", "search"}, Find},
        {{"h", "help"}, Help},
        {{"i", "identify"}, Identify},
        {{"r", "reboot"}, Reboot},
        {{"s", "shutdown"}, Shutdown},
        {{"t", "term", "terminal"}, SetTerminal},
    };
    return table;
}

}  // namespace

void ParseSwitch(Loader& ld, const Operations& ops, const std::string& prefix, const std::string& token)
{
    const SwitchToken t = SplitToken(prefix, token);
    if (t.keyword.empty()) {
        ReportError(ld, "Syntax Error : '" + ld.argumentText + "'");
        return;
    }
    for (const SwitchRow& row : SwitchTable()) {
        for (const std::string& keyword : row.keywords) {
            if (t.keyword == keyword) {
                row.handler(ld, ops, t);
                return;
            }
        }
    }

    // -COM3:57600 is -com:3 -baud:57600; the baud part is read even when the port part failed.
    if (t.keyword.compare(0, 3, "com") == 0) {
        const std::string portText = TrimLeadingSpaces(t.name.substr(3));
        ParseSwitch(ld, ops, prefix, prefix + "com:" + portText);
        if (!t.argument.empty())
            ParseSwitch(ld, ops, prefix, prefix + "baud:" + t.argument);
        return;
    }
    // -3 is -com:3, and every name that is not a number stands for port 0, which is refused.
    if (NumericValue(t.name) >= 0) {
        ParseSwitch(ld, ops, prefix, prefix + "com:" + t.name);
        return;
    }
    ReportWithEcho(ld, "Unknown Switch : '" + t.prefix + t.name + "'");
}
