// Identify, Reboot and Shutdown: a connection and at most one command, no answer awaited.
#include "cli/port_check.h"
#include "cli/reports.h"
#include "loader/boot_handshake.h"
#include "loader/operations.h"
#include "loader/pulse_encoder.h"
#include "loader/serial_link.h"
#include "platform/serial_control.h"

// The steps the three share: port check, connection, and the report of a missing chip.
// True when a chip answered and the operation may go on.
static bool ConnectForCommand(Loader& ld)
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
        ReportError(ld, "No Propeller Chip found");
        return false;
    }
    return true;
}

void IdentifyChip(Loader& ld)
{
    if (ConnectForCommand(ld))
        ReportInfo(ld, "Propeller Chip Version" + NumberText(ld.state.LinkStatus) + " found");
}

void RebootChip(Loader& ld)
{
    if (ConnectForCommand(ld))
        ReportInfo(ld, "Rebooted");
}

void ShutdownChip(Loader& ld)
{
    if (!ConnectForCommand(ld))
        return;
    // The command long 0: 32 zero bits, the same 11 characters in both packings.
    for (int i = 0; i < 4; ++i)
        SendByte(ld, 0);
    FlushOutput(ld);
    if (!Port(ld).PortOpen()) {
        ReportError(ld, "Hardware link lost");
        return;
    }
    ReportInfo(ld, "Shutdown Sent");
}
