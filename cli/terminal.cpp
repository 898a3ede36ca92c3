#include "cli/terminal.h"

#include <algorithm>
#include <chrono>

#include "loader/operation_start.h"
#include "loader/reports.h"
#include "loader/serial_link.h"
#include "platform/serial_control.h"

namespace {

constexpr std::uint8_t kEndKey = 0x1D;  // Ctrl-]
constexpr std::chrono::seconds kLongestSleep{1};

std::string NoticeLine(Loader& ld, bool keyboard)
{
    const SerialControl& sp = Port(ld);
    return "Terminal on COM" + std::to_string(sp.CommPort()) + " (" + sp.DeviceName() + ") at " + BaudInForce(ld) +
           " baud; " + (keyboard ? "Ctrl-] ends it" : "Ctrl-C ends it");
}

}  // namespace

void RunTerminal(Loader& ld, TerminalIo& io, bool afterOperation)
{
    LoaderState& s = ld.state;
    if (!afterOperation && !ConnectForTerminal(ld))
        return;
    SerialControl& sp = Port(ld);
    if (!s.TerminalBaud.empty() && !ChangeBaud(ld, s.TerminalBaud)) {
        ReportError(ld, "Invalid Baud Rate : '" + s.TerminalBaud + "'" + kCrLf + kCrLf + EchoText(ld));
        return;
    }

    const bool keyboard = io.InputIsTerminal();
    bool ended = false;
    io.Notice(NoticeLine(ld, keyboard));
    ld.receiver = [&io](const ByteString& bytes) { io.WriteOutput(bytes); };
    io.Start(
        [&](const TerminalIo::Bytes& input) {
            // Ctrl-] is the user's own key only on a keyboard; from a pipe every byte is data.
            const auto end = keyboard ? std::find(input.begin(), input.end(), kEndKey) : input.end();
            if (end != input.begin())
                sp.Output(ByteString(input.begin(), end));
            ended = ended || end != input.end();
        },
        [&ended] { ended = true; });
    // What the chip sent after the operation's last answer arrived with it; raw from here on.
    io.WriteOutput(s.RxBuffer);
    s.RxBuffer.clear();
    // Sleeps in the event loop until the port, the input or a signal has something.
    while (!ended && sp.PortOpen())
        ld.clock.RunEvents(kLongestSleep);
    io.Stop();
    ld.receiver = nullptr;
    if (!sp.PortOpen())
        ReportError(ld, "Hardware link lost");
}
