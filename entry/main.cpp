// Process entry: chooses the run mode once, picks the application object and the message channel
// for it, wires the platform parts into the loader and hands over to Main.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/main_entry.h"
#include "cli/terminal.h"
#include "loader/serial_link.h"
#include "platform/port_map.h"
#include "platform/qt_display_probe.h"
#include "platform/qt_event_clock.h"
#include "platform/qt_log.h"
#include "platform/qt_message_presenter.h"
#include "platform/qt_serial_control.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_signal_pipe.h"
#include "platform/qt_stdio_terminal.h"
#include "platform/standard_streams.h"
#include "platform/terminal_presenter.h"
#include "platform/terminal_progress.h"
#include "text/trim_spaces.h"
#include "ui/widget/run_window.h"
#include "ui/window_model.h"

namespace {

constexpr int kExitNoDisplay = 2;

std::string JoinArguments(int argc, char** argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

// The settings store's application name: the executable's file name without its extension.
std::string AppName(const char* argv0)
{
    const QString name = QFileInfo(QString::fromLocal8Bit(argv0 ? argv0 : "")).completeBaseName();
    return name.isEmpty() ? std::string("Pellik32") : name.toStdString();
}

bool AnyTerminal()
{
    return ::isatty(STDIN_FILENO) || ::isatty(STDOUT_FILENO) || ::isatty(STDERR_FILENO);
}

// A command-line run stopped by a signal leaves the chip out of reset and the port closed (and
// with it Qt's lock file in /var/lock), stores nothing and ends at once.
[[noreturn]] void StopOnSignal(const WindowModel& window, TerminalProgress& progress, int signal)
{
    if (window.Loaded())
        AbandonPort(*window.State().SerialPort);
    progress.Erase();
    std::_Exit(128 + signal);
}

}  // namespace

int main(int argc, char** argv)
{
    GuardStandardStreams();
    const std::string arguments = JoinArguments(argc, argv);
    const std::string app = AppName(argc > 0 ? argv[0] : nullptr);
    const RunMode mode = ChooseRunMode(TrimSpaces(arguments));
    const bool windowMode = mode == RunMode::Window;

    // Boxes in window mode, and for a command-line run started with no terminal from a desktop;
    // otherwise the terminal, which needs no display at all.
    bool useBoxes = false;
    if (windowMode) {
        const DisplayCheck display = ProbeDisplay();
        if (display.kind == DisplayKind::None) {
            std::fprintf(stderr, "%s: no display to show the window on: %s (or give command-line arguments)\n",
                         app.c_str(), display.missing.c_str());
            return kExitNoDisplay;
        }
        useBoxes = true;
    } else if (mode != RunMode::Version && !AnyTerminal()) {
        useBoxes = ProbeDisplay().kind == DisplayKind::Interactive;
    }

    // Qt gets only the program name: the arguments belong to the command line, not to Qt.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QCoreApplication> qtApp;
    if (useBoxes) {
        qtApp = std::make_unique<QApplication>(qtArgc, qtArgv);
        // On Wayland the desktop finds the window's icon and name through its desktop entry.
        QGuiApplication::setDesktopFileName(QStringLiteral("pellik32"));
    } else
        qtApp = std::make_unique<QCoreApplication>(qtArgc, qtArgv);

    // The log's lines would land in the middle of the bar; with the log on, the bar stays away.
    TerminalProgress progress(stderr, !windowMode && ::isatty(STDERR_FILENO) && !LogIsOn());
    std::unique_ptr<Presenter> presenter;
    QtMessagePresenter* boxes = nullptr;
    if (useBoxes) {
        auto owned = std::make_unique<QtMessagePresenter>();
        boxes = owned.get();
        presenter = std::move(owned);
    } else {
        auto terminal = std::make_unique<TerminalPresenter>();
        terminal->SetBeforeMessage([&progress] { progress.Erase(); });
        presenter = std::move(terminal);
    }

    QtEventClock clock;
    QtSettingsStore store;
    WindowModel window(
        [app] { return std::make_unique<QtSerialControl>([app](int port) { return SerialDevice(app, port); }); },
        store, app);
    QtLinkLog linkLog;
    Loader ld(clock, *presenter, window, linkLog);
    window.SetOnComm([&ld] { SerialPort_OnComm(ld); });
    window.SetClosePort([&ld] { ClosePort(ld); });
    if (!windowMode)
        window.SetOnChanged([&window, &progress] { progress.Follow(window.State().barProgress); });

    // During a terminal session its own handling takes over: the session ends, not the run.
    std::unique_ptr<QtSignalPipe> stopOnSignal;
    if (mode == RunMode::CommandLine)
        stopOnSignal = std::make_unique<QtSignalPipe>(
            EndingSignals(), [&window, &progress](int signal) { StopOnSignal(window, progress, signal); });
    QtStdioTerminal stdio;

    EntryServices services;
    services.argumentText = arguments;
    services.packageVersion = PELLIK_VERSION;
    services.runWindow = [&window, boxes](Loader& loader) { return RunWindowMode(loader, window, *boxes); };
    services.runTerminal = [&stdio](Loader& loader, bool afterOperation) { RunTerminal(loader, stdio, afterOperation); };
    const int status = Main(ld, mode, services);
    progress.Erase();
    return status;
}
