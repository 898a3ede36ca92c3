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

void RunOperation(Loader& ld, const std::function<void(Loader&)>& operation)
{
    operation(ld);
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
    RunOperation(ld, ops.FindChips);  // an argument is ignored
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
        RunOperation(ld, ops.IdentifyChip);
}

void Reboot(Loader& ld, const Operations& ops, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        RunOperation(ld, ops.RebootChip);
}

void Shutdown(Loader& ld, const Operations& ops, const SwitchToken& t)
{
    if (!RefusedArgument(ld, t))
        RunOperation(ld, ops.ShutdownChip);
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
