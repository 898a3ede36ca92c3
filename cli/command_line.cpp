#include "cli/command_line.h"

#include "loader/reports.h"
#include "text/trim_spaces.h"

namespace {

// The first "-" or "/" token fixes the switch character; a token that begins with the other one
// is a file name from then on.
void Dispatch(Loader& ld, const Operations& ops, char& switchChar, const std::string& token)
{
    const char first = token[0];
    if (first == '-' || first == '/') {
        if (switchChar == 0)
            switchChar = first;
        if (first == switchChar)
            ParseSwitch(ld, ops, std::string(1, first), token);
        else
            ParseFilename(ld, ops, first == '-' ? SeparatorMode::Convert : SeparatorMode::AsTyped, token);
        return;
    }
    ParseFilename(ld, ops, switchChar == '-' ? SeparatorMode::Convert : SeparatorMode::AsTyped, token);
}

}  // namespace

void RunCommandLine(Loader& ld, const Operations& ops)
{
    LoaderState& s = ld.state;
    s.PortNumber = 0;
    s.BaudText = "";
    s.UseBreakReset = false;
    s.ZeroPattern = kZeroPattern;
    s.OnePattern = kStandardOnePattern;
    s.BootCommand = kBootNotChosen;
    s.ImageFile = "";
    s.UseTerminal = false;
    s.TerminalBaud = "";
    char switchChar = 0;  // undecided

    // The trailing blank ends the last token like every other one.
    s.CommandLine += ' ';
    for (;;) {
        const auto blank = s.CommandLine.find(' ');
        if (blank == std::string::npos)
            break;
        const std::string token = s.CommandLine.substr(0, blank);
        s.CommandLine = TrimLeadingSpaces(s.CommandLine.substr(blank + 1));
        // Only a text that was not trimmed by the caller can give an empty token.
        if (!token.empty())
            Dispatch(ld, ops, switchChar, token);
    }

    if (!s.ImageFile.empty())
        return;
    if (!s.UseTerminal) {
        ReportError(ld, std::string("No Download Filename Specified") + kCrLf + kCrLf + EchoText(ld));
        return;
    }
    // A port and the terminal but no operation: the terminal alone, on a chip just reset.
    ops.RunTerminal(ld, false);
    ld.frmPellik.Unload();
    s.CommandLine = "";
    s.ImageFile = kRunFinished;
}

void RunThenTerminal(Loader& ld, const Operations& ops, const std::function<void(Loader&)>& operation)
{
    const int errorsBefore = ld.errorsReported;
    operation(ld);
    if (ld.state.UseTerminal && ld.errorsReported == errorsBefore)
        ops.RunTerminal(ld, true);
}
