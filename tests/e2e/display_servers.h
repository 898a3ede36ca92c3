// Display servers for the real window's end-to-end tests: a virtual X server, a headless Wayland
// compositor, and an X client that waits for the program's window and closes it as a user would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include <xcb/xcb.h>

// Starts a process with exactly the environment given; its output goes to logFile.
pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& env, const std::string& logFile,
            int extraFd = -1);
// The full path of a program on PATH, or "".
std::string FindOnPath(const std::string& program);

// Xvfb on a display it picks itself; stopped with the object.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& folder);
    ~VirtualDisplay();
    const std::string& name() const { return m_name; }  // ":N", "" when the server did not start

private:
    pid_t m_pid = -1;
    std::string m_name;
};

// weston with its headless backend, its socket in runtimeDir (a private folder it creates);
// ready once constructed, stopped with the object.
class HeadlessCompositor {
public:
    static constexpr const char* kSocket = "pellik-wayland";
    explicit HeadlessCompositor(const std::string& runtimeDir);
    ~HeadlessCompositor();
    bool ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

struct ShownWindow {
    std::uint32_t id = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

// An X client on one display that sees every top-level window being mapped. Create it before
// the program starts, so no map is missed.
class WindowWatcher {
public:
    explicit WindowWatcher(const std::string& display);
    ~WindowWatcher();
    bool connected() const;

    // The first window titled caption that is mapped, or nothing once the program has ended or
    // timeoutMs has passed.
    std::optional<ShownWindow> WaitForWindow(const std::string& caption, pid_t program, int timeoutMs);
    // Asks the window to close, as a window manager's close button does.
    void Close(std::uint32_t window);

private:
    std::string Title(std::uint32_t window);
    std::uint32_t Atom(const char* name);

    xcb_connection_t* m_connection = nullptr;
};

// Waits for the process to end; its exit status, or -1 when it did not end in time or was killed.
int WaitForExit(pid_t pid, int timeoutMs);
