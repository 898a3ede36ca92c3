#include "loader/port_check.h"

#include "loader/reports.h"

bool CheckPortGiven(Loader& ld)
{
    LoaderState& s = ld.state;
    if (s.PortNumber == 0) {
        ReportError(ld, std::string("No COM Port specified") + kCrLf + kCrLf + EchoText(ld));
        return false;
    }
    if (s.BaudText.empty())
        s.BaudText = kDefaultBaud;
    if (s.BootCommand == kBootNotChosen)
        s.BootCommand = kBootRam;
    return true;
}
