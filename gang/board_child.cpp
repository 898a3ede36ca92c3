#include "gang/board_child.h"

#include <QCoreApplication>

#include <unistd.h>

#include "gang/board_window.h"
#include "gang/stop_signals.h"
#include "loader/boot_handshake.h"
#include "loader/operations.h"
#include "loader/serial_link.h"
#include "platform/port_map.h"
#include "platform/qt_event_clock.h"
#include "platform/qt_log.h"
#include "platform/qt_serial_control.h"
#include "platform/qt_signal_pipe.h"

namespace {

// The fields the window's settings give an operation, here from the gang's options.
void FillState(LoaderState& s, const BoardJob& job)
{
    s.PortNumber = job.port;
    s.BaudText = job.baud;
    s.ImageFile = job.image;
    s.UseBreakReset = job.useBreak;
    s.ZeroPattern = kZeroPattern;
    s.OnePattern = job.dense ? kDenseOnePattern : kStandardOnePattern;
    s.BootCommand = job.eeprom ? kBootEeprom : kBootRam;
}

// The search's test of one port; tells the gang whether the port holds a board.
bool ChipAnswers(Loader& ld, ReportPipe& pipe)
{
    pipe.Send({ReportKind::Phase, "searching"});
    ConnectChip(ld, ld.state.PortNumber, ld.state.BaudText);
    const bool found = ld.state.LinkStatus >= 0;
    if (!found)
        ClosePort(ld);
    pipe.Send({found ? ReportKind::Chip : ReportKind::Absent, ""});
    return found;
}


}  // namespace

int RunBoard(const BoardJob& job, int reportFd, const SerialFactory& makeSerial)
{

    int argc = 1;
    char name[] = "pellik32-gang";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    // Many boards write to one log; each line names its port.
    qSetMessagePattern(QStringLiteral("COM%1 %{if-category}%{category}: %{endif}%{message}").arg(job.port));
    ReportPipe pipe(reportFd);
    BoardWindow window(makeSerial(), pipe);
    ResultPresenter presenter(pipe);
    QtEventClock clock;
    QtLinkLog linkLog;
    Loader ld(clock, presenter, window, linkLog);
    SerialControl& port = window.SerialPort();
    port.OnComm = [&ld] { SerialPort_OnComm(ld); };
    // An operation in the middle of a wait has nothing left to do: the port goes, and the board.
    const QtSignalPipe stop(EndingSignals(), [&port](int signal) {
        AbandonPort(port);
        ::_exit(128 + signal);
    });
    HoldSignals(false);

    FillState(ld.state, job);
    if (job.searchFirst && !ChipAnswers(ld, pipe))
        return 0;
    pipe.Send({ReportKind::Phase, "connecting"});
    DownloadImage(ld);
    ClosePort(ld);
    return 0;
}

std::unique_ptr<SerialControl> MakePortControl()
{
    return std::make_unique<QtSerialControl>([](int port) { return SerialDevice(kPortMapOwner, port); });
}
