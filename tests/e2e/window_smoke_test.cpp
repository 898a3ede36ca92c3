// Window mode for real: the program started without arguments on a virtual X server shows its
// window with the fixed client size.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/child_process.h"

namespace {

const char* const kCaption = "Ulvane Propeller Downloader - KR6 32-Bit";

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Starts a process with exactly the environment given; its output goes to logFile.
pid_t Spawn(std::vector<std::string> argv, const std::vector<std::string>& env,
            const std::string& logFile, int extraFd = -1)
{
    std::vector<char*> args, envp;
    for (auto& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<std::string> envCopy = env;
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

// The full path of a program on PATH, or "".
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

// A virtual X server on a display it picks itself; stopped with the object.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& folder)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = Spawn({FindOnPath("Xvfb"), "-displayfd", std::to_string(fds[1]), "-screen", "0",
                       "1024x768x24", "-nolisten", "tcp"},
                      {"PATH=" + Env("PATH")}, folder + "/xvfb.log", fds[1]);
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            m_name = ":" + number;
    }
    ~VirtualDisplay() { StopChild(m_pid); }
    const std::string& name() const { return m_name; }

private:
    pid_t m_pid = -1;
    std::string m_name;  // "" when the server did not start
};

std::string Capture(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

int Field(const std::string& info, const char* name)
{
    std::smatch m;
    if (std::regex_search(info, m, std::regex(std::string("\\b") + name + ":\\s+(-?\\d+)")))
        return std::stoi(m[1]);
    return -1;
}

TEST(WindowSmoke, ShowsTheWindowWithItsFixedClientSize)
{
    if (Env("PELLIK32_BIN").empty())
        GTEST_SKIP() << "needs PELLIK32_BIN";
    if (FindOnPath("Xvfb").empty() || FindOnPath("xwininfo").empty())
        GTEST_SKIP() << "needs Xvfb and xwininfo";

    const std::string folder = MakeTempFolder();
    VirtualDisplay display(folder);
    ASSERT_FALSE(display.name().empty()) << ReadTextFile(folder + "/xvfb.log");

    const pid_t program = Spawn({Env("PELLIK32_BIN")},
                                {"PATH=" + Env("PATH"), "DISPLAY=" + display.name(),
                                 "QT_QPA_PLATFORM=xcb", "HOME=" + folder,
                                 "XDG_CONFIG_HOME=" + folder + "/config",
                                 "XDG_RUNTIME_DIR=" + folder},
                                folder + "/pellik.log");
    const std::string query =
        "xwininfo -display " + display.name() + " -name '" + kCaption + "' 2>&1";
    std::string info;
    int status = 0;
    bool exited = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        info = Capture(query);
        if (Field(info, "Width") > 0 && info.find("IsViewable") != std::string::npos)
            break;
        if (waitpid(program, &status, WNOHANG) == program) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!exited)
        StopChild(program);

    ASSERT_FALSE(exited) << "the program ended without a window: " << ReadTextFile(folder + "/pellik.log");
    EXPECT_EQ(Field(info, "Width"), 486) << info;
    EXPECT_EQ(Field(info, "Height"), 125) << info;
}

}  // namespace
