#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "platform/qt_event_clock.h"
#include "platform/qt_serial_control.h"

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A pseudo-terminal whose slave side stands in for the serial device; the test holds the master.
class PtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0);
        ASSERT_EQ(::grantpt(m_master), 0);
        ASSERT_EQ(::unlockpt(m_master), 0);
        m_slave = ::ptsname(m_master);
        termios raw{};
        ::tcgetattr(m_master, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_master, TCSANOW, &raw);
        control = MakeControl();
    }
    void TearDown() override
    {
        control.reset();
        CloseMaster();
    }

    std::unique_ptr<QtSerialControl> MakeControl()
    {
        return std::make_unique<QtSerialControl>([this](int port) { return port == 4 ? m_slave : std::string(); });
    }
    void OpenPort4(QtSerialControl& c)
    {
        c.SetCommPort(4);
        c.SetPortOpen(true);
    }
    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    // Lets Qt's event loop run until done() or about two seconds have passed.
    template <typename Done>
    bool RunUntil(Done done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 2000)
            clock.RunEvents(20);
        return done();
    }

    int m_master = -1;
    std::string m_slave;
    QtEventClock clock;
    std::unique_ptr<QtSerialControl> control;
};

TEST_F(PtyTest, StartsOnPortOneAt115200AndClosed)
{
    EXPECT_EQ(control->CommPort(), 1);
    EXPECT_EQ(control->Settings(), "115200,n,8,1");
    EXPECT_FALSE(control->PortOpen());
    EXPECT_EQ(control->OutBufferSize(), 512);
    EXPECT_EQ(control->OutBufferCount(), 0);
}

TEST_F(PtyTest, SettingsKeepOnlyAcceptableValues)
{
    const std::pair<std::string, std::string> cases[] = {
        {"57600,n,8,1", "57600,n,8,1"},  {"0115200,n,8,1", "115200,n,8,1"},
        {"9600,N,8,1", "9600,n,8,1"},    {"0,n,8,1", "9600,n,8,1"},
        {"-300,n,8,1", "9600,n,8,1"},    {"abc,n,8,1", "9600,n,8,1"},
        {"12.5,n,8,1", "9600,n,8,1"},    {"99999999999,n,8,1", "9600,n,8,1"},
        {",n,8,1", "9600,n,8,1"},        {"19200", "9600,n,8,1"},
        {"19200,x,8,1", "9600,n,8,1"},   {"19200,n,9,1", "9600,n,8,1"},
        {"19200,e,7,2", "19200,e,7,2"},  {"", "19200,e,7,2"},
    };
    for (const auto& [given, inForce] : cases) {
        control->SetSettings(given);
        EXPECT_EQ(control->Settings(), inForce) << '"' << given << '"';
    }
}

TEST_F(PtyTest, PortWithoutDeviceDoesNotOpen)
{
    for (int port : {0, 1, 5}) {
        control->SetCommPort(static_cast<std::int16_t>(port));
        control->SetPortOpen(true);
        EXPECT_FALSE(control->PortOpen()) << port;
    }
}

TEST_F(PtyTest, OpensRawAndCarriesEveryByteValueBothWays)
{
    int events = 0;
    std::vector<std::uint8_t> received;
    control->OnComm = [&] {
        ++events;
        if (control->CommEvent() == SerialControl::kCommEventReceive) {
            const auto bytes = control->Input();
            received.insert(received.end(), bytes.begin(), bytes.end());
        }
    };
    control->SetSettings("57600,n,8,1");
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    EXPECT_EQ(control->CommPort(), 4);
    EXPECT_EQ(control->Settings(), "57600,n,8,1");
    control->SetCommPort(2);  // refused while open
    EXPECT_EQ(control->CommPort(), 4);
    control->SetDTREnable(true);  // unsupported on a pseudo-terminal: ignored, no event
    control->SetDTREnable(false);
    control->SetBreak(true);
    control->SetBreak(false);

    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    control->Output(all);
    std::vector<std::uint8_t> atFarEnd;
    ASSERT_TRUE(RunUntil([&] {
        std::uint8_t buffer[512];
        const int flags = ::fcntl(m_master, F_GETFL);
        ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            atFarEnd.insert(atFarEnd.end(), buffer, buffer + n);
        return atFarEnd.size() >= all.size();
    }));
    EXPECT_EQ(atFarEnd, all);
    EXPECT_EQ(control->OutBufferCount(), 0);

    ASSERT_EQ(::write(m_master, all.data(), all.size()), 256);
    ASSERT_TRUE(RunUntil([&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);
    EXPECT_GE(events, 1);

    control->SetPortOpen(false);
    EXPECT_FALSE(control->PortOpen());
}

TEST_F(PtyTest, CloseRightAfterOutputStillDeliversTheBytes)
{
    // A shutdown command is written and the port closed with no event loop pass in between.
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    const std::vector<std::uint8_t> command(300, 0xA5);
    control->Output(command);
    control->SetPortOpen(false);
    EXPECT_FALSE(control->PortOpen());

    std::vector<std::uint8_t> atFarEnd(1024);
    const ssize_t n = ::read(m_master, atFarEnd.data(), atFarEnd.size());
    ASSERT_GE(n, 0);
    atFarEnd.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(atFarEnd, command);
}

TEST_F(PtyTest, FarEndClosedCountsAsClosedAndRaisesAnEvent)
{
    std::vector<int> events;
    control->OnComm = [&] { events.push_back(control->CommEvent()); };
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    CloseMaster();
    ASSERT_TRUE(RunUntil([&] { return !control->PortOpen(); }));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), QtSerialControl::kCommEventError);
    control->Output({1, 2, 3});  // writes to a lost port are dropped
    EXPECT_EQ(control->OutBufferCount(), 0);
}

TEST_F(PtyTest, SecondControlInThisProcessIsRefused)
{
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    auto second = MakeControl();
    OpenPort4(*second);
    EXPECT_FALSE(second->PortOpen());
    control->SetPortOpen(false);
    OpenPort4(*second);
    EXPECT_TRUE(second->PortOpen());
}

// Opens the device in a child process, directly or through a symbolic link; the child's exit
// status tells whether its open succeeded.
bool ChildCanOpen(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        bool opened = false;
        {
            QtSerialControl other([path](int) { return path; });
            other.SetPortOpen(true);
            opened = other.PortOpen();
        }
        ::_exit(opened ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(PtyTest, SecondProgramCannotShareTheOpenPort)
{
    const std::string link = "/tmp/pellik_pty_link_" + std::to_string(::getpid());
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(m_slave.c_str(), link.c_str()), 0);

    EXPECT_TRUE(ChildCanOpen(link));  // free before we open it
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    EXPECT_FALSE(ChildCanOpen(m_slave));
    EXPECT_FALSE(ChildCanOpen(link));
    ::unlink(link.c_str());
}

}  // namespace
