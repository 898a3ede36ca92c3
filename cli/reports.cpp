#include "cli/reports.h"

#include <cctype>

#include "text/trim_spaces.h"

const char* const kCrLf = "\r\n";

std::string NumberText(std::int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string EchoText(const Loader& ld)
{
    return TrimSpaces(ld.argumentText);
}

void ReportError(Loader& ld, const std::string& text)
{
    LoaderState& s = ld.state;
    ld.presenter.ShowMessage(MessageIcon::Warning, s.MessageTitle, text);
    ++ld.errorsReported;
    if (s.LinkStatus >= 0)
        s.LinkStatus = kLinkErrorReported;
    s.CommandLine = "";
    s.ImageFile = kRunFinished;
}

void ReportInfo(Loader& ld, const std::string& text)
{
    ld.presenter.ShowMessage(MessageIcon::Information, ld.state.MessageTitle, text);
}

std::string UsageText(const std::string& prefix)
{
    const std::string s = "-com:<n> { -baud:<n> } { -break } ";
    std::string usage = s + "-find\r\n" + s + "-identify\r\n" + s + "-reboot\r\n" + s + "-shutdown\r\n" + "\r\n" + s +
                        "{ -dense } { -eeprom } <filename.ext>\t ";
    if (prefix != "/")
        return usage;

    // "/" form: every "-" becomes "/", and all but the text in angle brackets is upper-cased.
    bool upper = true;
    for (char& c : usage) {
        if (c == '-')
            c = '/';
        else if (c == '<')
            upper = false;
        else if (c == '>')
            upper = true;
        else if (upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return usage;
}

void ShowUsage(Loader& ld, const std::string& prefix)
{
    ld.presenter.ShowMessage(MessageIcon::Information, ld.state.MessageTitle,
                             std::string("Command Line Options ...") + kCrLf + kCrLf + UsageText(prefix));
}
