#include "platform/qt_display_probe.h"

#include <QGuiApplication>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kProbeTimeoutMs = 10000;  // a display server that does not answer in this time counts as absent

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The platform plugins Qt would try, in order, without their options ("xcb:opt" -> "xcb").
std::vector<std::string> CandidatePlatforms()
{
    std::vector<std::string> names;
    const std::string chosen = Env("QT_QPA_PLATFORM");
    if (chosen.empty()) {
        // Qt's own default: Wayland first in a Wayland session, then X.
        if (Env("XDG_SESSION_TYPE") == "wayland")
            return {"wayland", "xcb"};
        return {"xcb"};
    }
    std::size_t start = 0;
    while (start <= chosen.size()) {
        const std::size_t end = std::min(chosen.find(';', start), chosen.size());
        const std::string entry = chosen.substr(start, end - start);
        names.push_back(entry.substr(0, entry.find(':')));
        start = end + 1;
    }
    return names;
}

bool IsHeadless(const std::string& platform)
{
    return platform == "offscreen" || platform == "minimal" || platform == "minimalegl";
}

// A platform that plainly cannot connect, judged from the environment alone.
bool PlainlyMissing(const std::string& platform)
{
    if (platform == "xcb")
        return Env("DISPLAY").empty();
    if (platform.rfind("wayland", 0) == 0)
        return Env("WAYLAND_DISPLAY").empty();
    return platform.empty();
}

// Starts a GUI application in a child with its error output silenced; the child reports
// success through a pipe, so a child that aborts or hangs is told apart without spinning.
bool ChildCanStartGui()
{
    int report[2];
    if (::pipe(report) != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDERR_FILENO);
            ::dup2(devNull, STDOUT_FILENO);
        }
        int argc = 1;
        char name[] = "Pellik32";
        char* argv[] = {name, nullptr};
        {
            QGuiApplication app(argc, argv);
            const char ok = '1';
            [[maybe_unused]] const ssize_t written = ::write(report[1], &ok, 1);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    pollfd waitFor{report[0], POLLIN, 0};
    char answer = 0;
    const bool started = ::poll(&waitFor, 1, kProbeTimeoutMs) == 1 && ::read(report[0], &answer, 1) == 1 && answer == '1';
    ::close(report[0]);
    if (!started)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return started;
}

}  // namespace

DisplayKind ProbeDisplay()
{
    const std::vector<std::string> candidates = CandidatePlatforms();
    bool anyPossible = false;
    bool allHeadless = true;
    for (const auto& platform : candidates) {
        if (!PlainlyMissing(platform)) {
            anyPossible = true;
            allHeadless = allHeadless && IsHeadless(platform);
        }
    }
    if (!anyPossible || !ChildCanStartGui())
        return DisplayKind::None;
    return allHeadless ? DisplayKind::Headless : DisplayKind::Interactive;
}
