#include "tests/e2e/display_servers.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/child_process.h"

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A descriptor that becomes readable when the process ends, so waits need no polling loop.
int EndOf(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int MsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& env, const std::string& logFile,
            int extraFd)
{
    std::vector<char*> args, envp;
    for (auto& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<std::string> envCopy = env;
    for (const std::string& option : SanitizerOptions())
        envCopy.push_back(option);
    for (auto& e : envCopy)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(log, 1);
        dup2(log, 2);
        if (extraFd >= 0)
            fcntl(extraFd, F_SETFD, 0);  // keep it across exec
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

std::string FindOnPath(const std::string& program)
{
    const std::string path = Env("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string candidate = path.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

VirtualDisplay::VirtualDisplay(const std::string& folder)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    // Xvfb writes its display number once it accepts clients.
    m_pid = Spawn({FindOnPath("Xvfb"), "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp"},
                  {"PATH=" + Env("PATH")}, folder + "/xvfb.log", fds[1]);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 30000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.empty())
        m_name = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
    StopChild(m_pid);
}

HeadlessCompositor::HeadlessCompositor(const std::string& runtimeDir)
{
    // weston wants its runtime folder private, as a login session's is.
    mkdir(runtimeDir.c_str(), 0700);
    chmod(runtimeDir.c_str(), 0700);
    // Its systemd-notify module says READY=1 on a datagram socket once clients can connect.
    const std::string notifyPath = runtimeDir + "/notify";
    const int notify = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, notifyPath.c_str(), sizeof address.sun_path - 1);
    if (notify < 0 || bind(notify, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return;
    m_pid = Spawn({FindOnPath("weston"), "--backend=headless-backend.so", "--shell=kiosk-shell.so",
                   std::string("--socket=") + kSocket, "--idle-time=0", "--modules=systemd-notify.so"},
                  {"PATH=" + Env("PATH"), "XDG_RUNTIME_DIR=" + runtimeDir, "NOTIFY_SOCKET=" + notifyPath},
                  runtimeDir + "/weston.log");
    const int ended = EndOf(m_pid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    char message[256] = {};
    while (!m_ready) {
        pollfd fds[2] = {{notify, POLLIN, 0}, {ended, POLLIN, 0}};
        if (poll(fds, 2, MsUntil(deadline)) <= 0 || fds[1].revents)
            break;
        const ssize_t n = recv(notify, message, sizeof message - 1, 0);
        m_ready = n > 0 && std::strstr(message, "READY=1") != nullptr;
    }
    close(ended);
    close(notify);
}

HeadlessCompositor::~HeadlessCompositor()
{
    StopChild(m_pid);
}

WindowWatcher::WindowWatcher(const std::string& display)
{
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (!connected())
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

WindowWatcher::~WindowWatcher()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool WindowWatcher::connected() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

std::uint32_t WindowWatcher::Atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const std::uint32_t atom = reply ? reply->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::string WindowWatcher::Title(std::uint32_t window)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
        nullptr);
    std::string title;
    if (reply)
        title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return title;
}

std::optional<ShownWindow> WindowWatcher::WaitForWindow(const std::string& caption, pid_t program, int timeoutMs)
{
    const int ended = EndOf(program);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::optional<ShownWindow> shown;
    while (!shown && connected()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY && !shown && Title(map->window) == caption) {
                xcb_get_geometry_reply_t* g =
                    xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, map->window), nullptr);
                if (g)
                    shown = ShownWindow{map->window, g->x, g->y, g->width, g->height};
                std::free(g);
            }
            std::free(event);
        }
        pollfd fds[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {ended, POLLIN, 0}};
        if (shown || poll(fds, 2, MsUntil(deadline)) <= 0 || fds[1].revents)
            break;
    }
    close(ended);
    return shown;
}

void WindowWatcher::Close(std::uint32_t window)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom("WM_PROTOCOLS");
    event.data.data32[0] = Atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

int WaitForExit(pid_t pid, int timeoutMs)
{
    const int ended = EndOf(pid);
    pollfd p{ended, POLLIN, 0};
    const bool done = poll(&p, 1, timeoutMs) == 1;
    close(ended);
    int status = 0;
    if (!done || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
