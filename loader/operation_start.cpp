// The start every operation but the search shares, and the test for a port that failed under it.
#include "loader/operation_start.h"

#include "loader/boot_handshake.h"
#include "loader/port_check.h"
#include "loader/reports.h"
#include "loader/serial_link.h"
#include "platform/serial_control.h"

namespace {

// A port that did not open at all says why on a second line; a silent port does not.
void ReportNoChip(Loader& ld)
{
    ReportError(ld, "No Propeller Chip found" + (ld.openFailure.empty() ? "" : kCrLf + ld.openFailure));
}

}  // namespace

bool ConnectForOperation(Loader& ld)
{
    LoaderState& s = ld.state;
    if (!CheckPortGiven(ld))
        return false;
    ConnectChip(ld, s.PortNumber, s.BaudText);
    if (s.LinkStatus == kLinkLost) {
        ReportError(ld, "Hardware link lost");
        return false;
    }
    if (s.LinkStatus == kLinkNoChip) {
        ReportNoChip(ld);
        return false;
    }
    return true;
}

bool ConnectForTerminal(Loader& ld)
{
    LoaderState& s = ld.state;
    if (!CheckPortGiven(ld))
        return false;
    if (!OpenPort(ld, s.PortNumber, s.BaudText)) {
        ReportNoChip(ld);
        return false;
    }
    s.RxBuffer.clear();
    ResetChip(ld);
    return true;
}

bool PortLost(Loader& ld)
{
    // Nothing closes the port during an operation; a closed one has failed (an unplugged adapter).
    return !Port(ld).PortOpen();
}
