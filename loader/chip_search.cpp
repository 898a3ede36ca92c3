// Find: a connection on each of the ports 1 to 10 and one report of where a chip answered.
#include "loader/boot_handshake.h"
#include "loader/operations.h"
#include "loader/reports.h"
#include "loader/serial_link.h"

constexpr std::int32_t kFirstSearchPort = 1;
constexpr std::int32_t kLastSearchPort = 10;

void FindChips(Loader& ld)
{
    LoaderState& s = ld.state;
    std::string report;
    std::int32_t found = 0;  // 0 none yet, a port number, or -1 for two or more
    for (std::int32_t port = kFirstSearchPort; port <= kLastSearchPort; ++port) {
        report += kCrLf + NumberText(port) + " : ";
        ConnectChip(ld, port, s.BaudText);
        if (s.LinkStatus < 0) {
            report += "-";
            continue;
        }
        report += "Propeller Chip Version" + NumberText(s.LinkStatus) + " found";
        found = found == 0 ? port : -1;
    }
    ClosePort(ld);

    if (found == 0) {
        ReportError(ld, "No Propeller Chips found" + std::string(kCrLf) + report);
    } else if (found > 0) {
        ld.frmPellik.SetPortText(std::to_string(found));
        ReportInfo(ld, "One Propeller Chip found" + std::string(kCrLf) + report);
    } else {
        ReportInfo(ld, "Multiple Propeller Chips found" + std::string(kCrLf) + report);
    }
}
