#include "platform/qt_display_probe.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>

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

// Qt's own choice when the user made none: Wayland first where a Wayland display is named or the
// session is Wayland, then X. Wayland lets no program place or read its window's position, so X
// (XWayland under a Wayland desktop) goes first wherever DISPLAY is set.
std::string DefaultPlatforms()
{
    const bool wayland = !Env("WAYLAND_DISPLAY").empty() || Env("XDG_SESSION_TYPE") == "wayland";
    if (!Env("DISPLAY").empty())
        return wayland ? "xcb;wayland" : "xcb";
    return wayland ? "wayland;xcb" : "xcb";
}

// The platform plugins Qt will try, in order, without their options ("xcb:opt" -> "xcb").
std::vector<std::string> CandidatePlatforms(const std::string& chosen)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= chosen.size()) {
        const std::size_t end = std::min(chosen.find(';', start), chosen.size());
        const std::string entry = chosen.substr(start, end - start);
        names.push_back(entry.substr(0, entry.find(':')));
        start = end + 1;
    }
    return names;
}

bool IsWayland(const std::string& platform)
{
    return platform.rfind("wayland", 0) == 0;
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
    if (IsWayland(platform))
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

// Qt's Wayland plugins come in their own package, which a desktop may lack.
bool WaylandPluginInstalled()
{
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::PluginsPath)};
    for (const QString& folder : QString::fromLocal8Bit(Env("QT_PLUGIN_PATH").c_str()).split(':', Qt::SkipEmptyParts))
        folders << folder;
    for (const QString& folder : folders) {
        if (!QDir(folder + QStringLiteral("/platforms")).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

// What is missing when no candidate platform could even be tried.
std::string WhyNoneTried(const std::string& first, bool userChose)
{
    if (userChose && first == "xcb")
        return "set DISPLAY";
    if (userChose && IsWayland(first))
        return "set WAYLAND_DISPLAY";
    if (userChose)
        return "QT_QPA_PLATFORM names no platform";
    return "set DISPLAY or WAYLAND_DISPLAY";
}

// Why a platform that was tried did not start, as the user can act on it.
std::string WhyNotStarted(const std::string& platform)
{
    if (IsWayland(platform) && !WaylandPluginInstalled())
        return "WAYLAND_DISPLAY=" + Env("WAYLAND_DISPLAY") + " needs the qt6-wayland package";
    if (IsWayland(platform))
        return "no Wayland compositor answers on WAYLAND_DISPLAY=" + Env("WAYLAND_DISPLAY");
    if (platform == "xcb")
        return "no X server answers on DISPLAY=" + Env("DISPLAY");
    return "the Qt platform \"" + platform + "\" did not start";
}

}  // namespace

DisplayCheck ProbeDisplay()
{
    const bool userChose = !Env("QT_QPA_PLATFORM").empty();
    if (!userChose && !Env("DISPLAY").empty())
        ::setenv("QT_QPA_PLATFORM", DefaultPlatforms().c_str(), 1);
    const std::vector<std::string> candidates =
        CandidatePlatforms(userChose ? Env("QT_QPA_PLATFORM") : DefaultPlatforms());

    std::vector<std::string> possible;
    bool allHeadless = true;
    for (const auto& platform : candidates) {
        if (!PlainlyMissing(platform)) {
            possible.push_back(platform);
            allHeadless = allHeadless && IsHeadless(platform);
        }
    }
    if (possible.empty())
        return {DisplayKind::None, WhyNoneTried(candidates.front(), userChose)};
    if (!ChildCanStartGui())
        return {DisplayKind::None, WhyNotStarted(possible.front())};
    return {allHeadless ? DisplayKind::Headless : DisplayKind::Interactive, ""};
}
