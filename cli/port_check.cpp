#include "cli/port_check.h"

#include "cli/reports.h"

bool CheckPortGiven(Loader& ld)
{
    LoaderState& s = ld.state;
    if (s.PortNumber == 0) {
        ReportError(ld, std::string("No COM Port specified") + kCrLf + kCrLf + EchoText(ld));
        return false;
    }
    if (s.BaudText.empty())
        s.BaudText = "115200";
    if (s.BootCommand == 0)
        s.BootCommand = 1;
    return true;
}
