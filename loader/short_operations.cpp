// Identify, Reboot and Shutdown: a connection and at most one command, no answer awaited.
#include "loader/operation_start.h"
#include "loader/operations.h"
#include "loader/pulse_encoder.h"
#include "loader/reports.h"
#include "loader/serial_link.h"

void IdentifyChip(Loader& ld)
{
    if (ConnectForOperation(ld))
        ReportInfo(ld, "Propeller Chip Version" + NumberText(ld.state.LinkStatus) + " found");
}

void RebootChip(Loader& ld)
{
    if (ConnectForOperation(ld))
        ReportInfo(ld, "Rebooted");
}

void ShutdownChip(Loader& ld)
{
    if (!ConnectForOperation(ld))
        return;
    // 32 zero bits: the same 11 characters in both packings.
    SendLong(ld, kShutdownCommand);
    FlushOutput(ld);
    if (PortLost(ld)) {
        ReportError(ld, "Hardware link lost");
        return;
    }
    ReportInfo(ld, "Shutdown Sent");
}
