#include "cli/usage.h"

#include <cctype>

#include "loader/reports.h"

std::string UsageText(const std::string& prefix)
{
    const std::string s = "-com:<n> { -baud:<n> } { -break } ";
    std::string usage = s + "-find\r\n" + s + "-identify\r\n" + s + "-reboot\r\n" + s + "-shutdown\r\n" + s +
                        "-terminal{:<n>} { <filename.ext> }\r\n" + "\r\n" + s +
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
