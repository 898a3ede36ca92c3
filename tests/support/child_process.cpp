#include "tests/support/child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<char*> CStrings(std::vector<std::string>& items)
{
    std::vector<char*> out;
    for (auto& s : items)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

void DrainInto(int fd, std::string& sink, bool& open)
{
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0)
        sink.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || (errno != EINTR && errno != EAGAIN))
        open = false;
}

// A pseudo-terminal as a pair of ends like a pipe's: [0] the master, read here; [1] the device.
bool OpenTerminal(int ends[2])
{
    ends[0] = posix_openpt(O_RDWR | O_NOCTTY);
    if (ends[0] < 0 || grantpt(ends[0]) != 0 || unlockpt(ends[0]) != 0)
        return false;
    ends[1] = open(ptsname(ends[0]), O_RDWR | O_NOCTTY);
    return ends[1] >= 0;
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                     int timeoutMs, ChildOutput output, int runAs)
{
    const bool terminal = output == ChildOutput::Terminal;
    int outPipe[2], errPipe[2], brokenPipe[2];
    if (!(terminal ? OpenTerminal(outPipe) : pipe(outPipe) == 0) || pipe(errPipe) != 0 || pipe(brokenPipe) != 0)
        throw std::runtime_error("pipe failed");
    close(brokenPipe[0]);  // nobody will ever read it
    std::vector<std::string> args = argv;
    std::vector<std::string> envText;
    for (const auto& [k, v] : env)
        envText.push_back(k + "=" + v);
    for (const std::string& option : SanitizerOptions())
        if (!env.count(option.substr(0, option.find('='))))
            envText.push_back(option);
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(output == ChildOutput::BrokenPipe ? brokenPipe[1] : outPipe[1], 1);
        dup2(terminal ? outPipe[1] : errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        if (output == ChildOutput::Closed) {
            close(0);
            close(1);
            close(2);
        }
        // The test runner may ignore SIGPIPE; the child must meet the default a shell gives it.
        signal(SIGPIPE, SIG_DFL);
        if (runAs != -1 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(runAs)) != 0 ||
                            setuid(static_cast<uid_t>(runAs)) != 0))
            _exit(126);
        execve(args[0].c_str(), CStrings(args).data(), CStrings(envText).data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    close(brokenPipe[1]);

    ChildResult result;
    bool outOpen = true, errOpen = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[2] = {{outOpen ? outPipe[0] : -1, POLLIN, 0}, {errOpen ? errPipe[0] : -1, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count())) <= 0)
            continue;
        if (fds[0].revents)
            DrainInto(outPipe[0], result.out, outOpen);
        if (fds[1].revents)
            DrainInto(errPipe[0], result.err, errOpen);
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> SanitizerOptions()
{
    std::vector<std::string> options;
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            options.push_back(std::string(name) + "=" + value);
    return options;
}

pid_t StartChild(const std::vector<std::string>& argv, const std::string& stdoutFile)
{
    std::vector<std::string> args = argv;
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        execv(args[0].c_str(), CStrings(args).data());
        _exit(127);
    }
    return pid;
}

void StopChild(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

namespace {

// Removes the folders a test made once it has passed; a failed test's stay for a look.
class TempFolderCleaner : public ::testing::EmptyTestEventListener {
public:
    void Add(const std::string& folder) { m_folders.push_back(folder); }
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (test.result()->Passed()) {
            std::error_code ignored;
            for (const std::string& folder : m_folders)
                std::filesystem::remove_all(folder, ignored);
        }
        m_folders.clear();
    }

private:
    std::vector<std::string> m_folders;
};

TempFolderCleaner& Cleaner()
{
    // gtest owns the listener once appended.
    static TempFolderCleaner* cleaner = [] {
        auto* made = new TempFolderCleaner;
        ::testing::UnitTest::GetInstance()->listeners().Append(made);
        return made;
    }();
    return *cleaner;
}

}  // namespace

std::string MakeTempFolder()
{
    const char* base = std::getenv("PELLIK_BUILD_DIR");
    const std::filesystem::path parent = std::filesystem::path(base ? base : "/tmp") / "test-home";
    std::filesystem::create_directories(parent);
    std::string pattern = (parent / "tmp-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    Cleaner().Add(pattern);
    return pattern;
}
