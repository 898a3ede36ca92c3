// The virtual_chip program itself: it listens on a pseudo-terminal behind a link, answers a
// handshake, logs it, unplugs when told and refuses bad options; and the sample image maker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "tests/support/child_process.h"
#include "tests/support/file_wait.h"
#include "tests/tools/chip_test_support.h"
#include "tools/rom_checksum.h"
#include "tools/sample_image.h"

namespace {

std::string ChipBinary()
{
    const char* path = std::getenv("VIRTUAL_CHIP_BIN");
    return path ? path : "";
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// Reads until count bytes came, the line died or timeoutMs passed.
Bytes ReadAnswers(int fd, std::size_t count, int timeoutMs, bool* lineDied = nullptr)
{
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 10) <= 0)
            continue;
        std::uint8_t buffer[512];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0 && (n == 0 || errno != EAGAIN)) {
            if (lineDied)
                *lineDied = true;
            break;
        }
        got.insert(got.end(), buffer, buffer + std::max<ssize_t>(n, 0));
    }
    return got;
}

class VirtualChipProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (ChipBinary().empty())
            GTEST_SKIP() << "needs VIRTUAL_CHIP_BIN";
        m_folder = MakeTempFolder();
        m_link = m_folder + "/ttyChip";
    }
    void TearDown() override
    {
        if (m_fd >= 0)
            close(m_fd);
        if (m_pid > 0)
            StopChild(m_pid);
    }

    void Start(const std::vector<std::string>& options = {})
    {
        std::vector<std::string> argv = {ChipBinary(), "--link", m_link, "--log", m_folder + "/chip.log"};
        argv.insert(argv.end(), options.begin(), options.end());
        const std::string out = m_folder + "/chip" + std::to_string(++m_starts) + ".out";
        m_pid = StartChild(argv, out);
        (void)WaitForFileText(out, "ready", 5000);
        ASSERT_EQ(ReadTextFile(out), "ready\n");
        m_fd = open(m_link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(m_fd, 0);
        termios mode {};
        ASSERT_EQ(tcgetattr(m_fd, &mode), 0);
        cfmakeraw(&mode);
        ASSERT_EQ(tcsetattr(m_fd, TCSANOW, &mode), 0);
    }

    void Send(const Bytes& bytes) { ASSERT_EQ(write(m_fd, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // Waits for the chip to end (after a signal when given) and returns its exit status.
    int Reap(int signal = 0)
    {
        if (signal)
            kill(m_pid, signal);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string m_folder;
    std::string m_link;
    pid_t m_pid = -1;
    int m_fd = -1;
    int m_starts = 0;
};

}  // namespace

TEST_F(VirtualChipProcess, ReplacesAStaleLinkAnswersAHandshakeLogsItAndRemovesItsLinkOnSigterm)
{
    ASSERT_EQ(symlink("/dev/null", m_link.c_str()), 0);
    Start();
    char target[256] = {};
    ASSERT_GT(readlink(m_link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target).rfind("/dev/pts/", 0), 0u) << target;

    Send({0xF9});
    Send(Concat({BitCharacters(HandshakeBits(1, 250)), Polls(258)}));
    EXPECT_EQ(ReadAnswers(m_fd, 258, 10000), ExpectedHandshakeAnswers());

    // A client that closes and comes back finds the chip still there.
    close(m_fd);
    m_fd = open(m_link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(m_fd, 0);
    Send(LongCharacters(0));
    EXPECT_TRUE(WaitForFileText(m_folder + "/chip.log", "\"kind\":\"shutdown\"", 10000));

    EXPECT_EQ(Reap(SIGTERM), 0);
    EXPECT_FALSE(Exists(m_link));
    const std::string log = ReadTextFile(m_folder + "/chip.log");
    EXPECT_NE(log.find("{\"event\":\"session_start\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"event\":\"handshake\",\"ms\":"), std::string::npos) << log;
    EXPECT_NE(log.find("\"ok\":true}\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\"kind\":\"shutdown\""), std::string::npos) << log;
}

// The log tells a watcher when the host of an EEPROM download has read the checksum answer and
// polls on for the write; never while that answer still lies unread on the line.
TEST_F(VirtualChipProcess, LogsTheEepromWaitOnlyOnceTheHostHasReadTheChecksumAnswer)
{
    Start({"--checksum-busy-ms", "0", "--eeprom-busy-ms", "60000"});
    Send({0xF9});
    Send(Concat({BitCharacters(HandshakeBits(1, 250)), Polls(258)}));
    ASSERT_EQ(ReadAnswers(m_fd, 258, 10000), ExpectedHandshakeAnswers());
    // The poll right behind the image is answered with the checksum, which is left unread.
    Send(Concat({LongCharacters(2), LongCharacters(16), ImageCharacters(MakeSampleImage(64)), {0xF9}}));
    pollfd answered{m_fd, POLLIN, 0};
    ASSERT_EQ(poll(&answered, 1, 10000), 1);
    // The chip logs this stray character on arrival: it has looked while the answer lay unread.
    Send({0x00});
    const std::string log = m_folder + "/chip.log";
    ASSERT_TRUE(WaitForFileText(log, "\"event\":\"decode_error\"", 10000));
    EXPECT_EQ(ReadAnswers(m_fd, 1, 10000), Bytes{0xFE});
    EXPECT_EQ(ReadTextFile(log).find("eeprom_wait"), std::string::npos);
    Send({0xF9});
    EXPECT_TRUE(WaitForFileText(log, "{\"event\":\"eeprom_wait\"", 10000));
}

TEST_F(VirtualChipProcess, OrderedUnplugKillsTheLine)
{
    struct Case {
        std::vector<std::string> options;
        Bytes sent;
        std::size_t answers;  // answered at most before the line died; the rest is lost with it
    };
    const Case cases[] = {
        {{"--unplug-at", "handshake"}, {0xF9}, 0},
        {{"--unplug-after-bytes", "300"}, Concat({{0xF9}, BitCharacters(HandshakeBits(1, 250)), Polls(258)}), 49},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[0]);
        Start(c.options);
        Send(c.sent);
        bool died = false;
        EXPECT_LE(ReadAnswers(m_fd, 258, 10000, &died).size(), c.answers);
        EXPECT_TRUE(died);
        EXPECT_EQ(Reap(), 0);
        EXPECT_FALSE(Exists(m_link));
        close(m_fd);
        m_fd = -1;
    }
}

TEST_F(VirtualChipProcess, BadOptionsGiveUsageAndStatus2)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--link"},
        {"--link", "/tmp/x", "--frobnicate"},
        {"--link", "/tmp/x", "--version", "abc"},
        {"--link", "/tmp/x", "--wrong-bit", "251"},
        {"--link", "/tmp/x", "--unplug-at", "lunch"},
        {"--silent"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> argv = {ChipBinary()};
        argv.insert(argv.end(), args.begin(), args.end());
        const ChildResult r = RunChild(argv, {}, 10000);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("usage: virtual_chip --link PATH"), std::string::npos) << r.err;
    }
}

TEST_F(VirtualChipProcess, HelpPrintsTheUsageOnStandardOutputAndSucceeds)
{
    const std::string tools = ChipBinary().substr(0, ChipBinary().rfind('/'));
    const std::pair<std::string, const char*> cases[] = {
        {ChipBinary(), "usage: virtual_chip --link PATH"},
        {tools + "/make_sample_image", "usage: make_sample_image OUT [SIZE]"},
    };
    for (const auto& [tool, usage] : cases) {
        const ChildResult r = RunChild({tool, "--help"}, {}, 10000);
        EXPECT_EQ(r.exitCode, 0) << tool;
        EXPECT_EQ(r.out.rfind(usage, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "") << tool;
    }
}

TEST_F(VirtualChipProcess, MakeSampleImageWritesAnImageTheRomAcceptsAndRefusesBadSizes)
{
    const std::string tool = ChipBinary().substr(0, ChipBinary().rfind('/')) + "/make_sample_image";
    ASSERT_EQ(RunChild({tool, m_folder + "/default.binary"}, {}, 10000).exitCode, 0);
    const std::string text = ReadTextFile(m_folder + "/default.binary");
    EXPECT_EQ(text.size(), 64u);
    EXPECT_TRUE(RomChecksumOk(Bytes(text.begin(), text.end())));
    for (const std::string size : {"6", "32772", "-4", "12x", ""}) {
        const ChildResult r = RunChild({tool, m_folder + "/bad.binary", size}, {}, 10000);
        EXPECT_EQ(r.exitCode, 2) << size;
        EXPECT_NE(r.err.find("usage: make_sample_image OUT [SIZE]"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(Exists(m_folder + "/bad.binary"));
}
