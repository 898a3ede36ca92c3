// The terminal after a load: the real binary between a virtual chip that runs its program and a
// user at a pseudo-terminal or behind a pipe.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "tests/e2e/display_servers.h"
#include "tests/e2e/e2e_fixture.h"

namespace {

// The program with its standard streams on fds of the test's: a pseudo-terminal as a user's, or
// a pipe in and a pipe out.
class TerminalRun : public EndToEnd {
protected:
    void TearDown() override
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_in, m_out, m_slave})
            if (fd >= 0)
                ::close(fd);
        EndToEnd::TearDown();
    }
    // On a pseudo-terminal: m_in and m_out are its master, m_slave the user's side.
    void StartOnTerminal(const std::vector<std::string>& args)
    {
        m_in = m_out = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(m_in >= 0 && ::grantpt(m_in) == 0 && ::unlockpt(m_in) == 0);
        m_slave = ::open(::ptsname(m_in), O_RDWR | O_NOCTTY);
        Start(args, m_slave, m_slave);
    }
    void StartOnPipes(const std::vector<std::string>& args)
    {
        int in[2], out[2];
        ASSERT_TRUE(::pipe(in) == 0 && ::pipe(out) == 0);
        Start(args, in[0], out[1]);
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    // Reads what the program writes until text has come; false when timeoutMs passed first.
    bool WaitForOutput(const std::string& text, int timeoutMs = 10000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_out, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (::poll(&p, 1, 20) == 1 && (n = ::read(m_out, buffer, sizeof buffer)) > 0)
                m_seen.append(buffer, static_cast<std::size_t>(n));
        }
        return m_seen.find(text) != std::string::npos;
    }
    void Type(const std::string& text) { ASSERT_EQ(::write(m_in, text.data(), text.size()), ssize_t(text.size())); }
    int ExitStatus()
    {
        const int status = WaitForExit(m_pid, 20000);
        m_pid = -1;
        return status;
    }

    int m_in = -1, m_out = -1, m_slave = -1;
    pid_t m_pid = -1;
    std::string m_seen;

private:
    void Start(const std::vector<std::string>& args, int in, int out)
    {
        std::vector<std::string> argv = {std::getenv("PELLIK32_BIN")};
        argv.insert(argv.end(), args.begin(), args.end());
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::setenv("XDG_CONFIG_HOME", (m_folder + "/config").c_str(), 1);
            std::vector<char*> cargs;
            for (auto& a : argv)
                cargs.push_back(a.data());
            cargs.push_back(nullptr);
            ::execv(cargs[0], cargs.data());
            ::_exit(127);
        }
    }
};

bool SameModes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag && a.c_cflag == b.c_cflag;
}

TEST_F(TerminalRun, TypedKeysReachTheChipAndCtrlRightBracketEndsWithTheModesRestored)
{
    StartChip(1, {"--program", "Hello from the chip"});
    WritePorts();
    StartOnTerminal({"-com:1", "-terminal", MakeImage(64)});
    termios before {};
    ::tcgetattr(m_slave, &before);
    ASSERT_TRUE(WaitForOutput("Download to Ram successful")) << m_seen;
    ASSERT_TRUE(WaitForOutput("Hello from the chip\r\n")) << m_seen;
    EXPECT_NE(m_seen.find("Terminal on COM1 (" + m_links[1] + ") at 115200 baud; Ctrl-] ends it"), std::string::npos);
    // Raw: no line editing holds the keys back for a line end, and Ctrl-C is a byte for the chip.
    Type("ab\x03");
    EXPECT_TRUE(WaitForOutput("ab\x03")) << m_seen;
    Type("\x1D");
    EXPECT_EQ(ExitStatus(), 0);
    termios after {};
    ::tcgetattr(m_slave, &after);
    EXPECT_TRUE(SameModes(before, after));
    // Loaded into RAM, the chip was never reset: one session, and its program is still running.
    EXPECT_EQ(ChipLog(1).find("\"session\":2"), std::string::npos) << ChipLog(1);
}

TEST_F(TerminalRun, APortLostDuringTheTerminalEndsItWithTheModesRestored)
{
    StartChip(1, {"--program", "Hello from the chip", "--program-at-start"});
    WritePorts();
    StartOnTerminal({"-com:1", "-t:57600"});
    termios before {};
    ::tcgetattr(m_slave, &before);
    ASSERT_TRUE(WaitForOutput("at 57600 baud")) << m_seen;
    ::kill(m_chips[1], SIGKILL);
    EXPECT_EQ(ExitStatus(), 1);
    EXPECT_TRUE(WaitForOutput("Hardware link lost")) << m_seen;
    termios after {};
    ::tcgetattr(m_slave, &after);
    EXPECT_TRUE(SameModes(before, after));
}

TEST_F(TerminalRun, InputFromAPipeIsSentAndItsEndStopsOnlyTheSending)
{
    StartChip(1, {"--program", "Hello from the chip", "--program-line", "tick", "--program-every-ms", "50"});
    WritePorts();
    StartOnPipes({"-com:1", "-t", MakeImage(64)});
    Type("from a pipe\x1D");
    ::close(m_in);
    m_in = -1;
    // Ctrl-] from a pipe is data like any other byte; the chip echoes it and goes on printing.
    EXPECT_TRUE(WaitForOutput("from a pipe\x1D")) << m_seen;
    const std::size_t seenBefore = m_seen.size();
    EXPECT_TRUE(WaitForOutput("tick 10\r\n")) << m_seen;
    EXPECT_GT(m_seen.size(), seenBefore);
    ::kill(m_pid, SIGTERM);
    EXPECT_EQ(ExitStatus(), 0);
}

}  // namespace
