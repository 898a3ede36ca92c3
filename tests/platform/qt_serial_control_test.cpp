#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <memory>

#include "platform/qt_event_clock.h"
#include "platform/qt_serial_control.h"

namespace {

// A pseudo-terminal whose slave side stands in for the serial device of port 4; the test holds
// the master.
class PtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
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
        return std::make_unique<QtSerialControl>(
            [this](int port) { return port == 4 ? PortDevice{m_slave, ""} : PortDevice{"", "maps to nothing"}; });
    }
    static void OpenPort4(QtSerialControl& c)
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
            clock.RunEvents(std::chrono::milliseconds(20));
        return done();
    }
    std::vector<std::uint8_t> ReadAtFarEnd(std::size_t count)
    {
        std::vector<std::uint8_t> bytes;
        RunUntil([&] {
            std::uint8_t buffer[512];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                bytes.insert(bytes.end(), buffer, buffer + n);
            return bytes.size() >= count;
        });
        return bytes;
    }

    int m_master = -1;
    std::string m_slave;
    QtEventClock clock;
    std::unique_ptr<QtSerialControl> control;
};

// Records what a control asks of the modem lines and answers for the kernel's output queue.
struct LineRecorder {
    std::vector<std::string> calls;
    int kernelQueued = 0;  // bytes

    PortLineCalls Calls()
    {
        PortLineCalls lines;
        lines.setDtr = [this](QSerialPort&, bool on) { calls.push_back(on ? "DTR on" : "DTR off"); };
        lines.setRts = [this](QSerialPort&, bool on) { calls.push_back(on ? "RTS on" : "RTS off"); };
        lines.kernelQueued = [this](const QSerialPort&) { return kernelQueued; };
        return lines;
    }
};

TEST_F(PtyTest, StartsClosedOnPortOneAt115200AndOpensOnlyAPortWithADevice)
{
    EXPECT_EQ(control->CommPort(), 1);
    EXPECT_EQ(control->Settings(), "115200,n,8,1");
    EXPECT_EQ(control->OutBufferSize(), 512);
    EXPECT_EQ(control->OutBufferCount(), 0);
    for (int port : {1, 0, 5}) {
        control->SetCommPort(static_cast<std::int16_t>(port));
        control->SetPortOpen(true);
        EXPECT_FALSE(control->PortOpen()) << port;
    }
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

TEST_F(PtyTest, OpensRawCarriesEveryByteValueBothWaysAndDeliversWhatPrecedesTheClose)
{
    std::vector<int> events;
    std::vector<std::uint8_t> received;
    control->OnComm = [&] {
        events.push_back(control->CommEvent());
        const auto bytes = control->Input();
        received.insert(received.end(), bytes.begin(), bytes.end());
    };
    control->SetSettings("57600,n,8,1");
    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    EXPECT_EQ(control->Settings(), "57600,n,8,1");
    control->SetCommPort(2);  // refused while open
    EXPECT_EQ(control->CommPort(), 4);
    control->SetDTREnable(true);  // unsupported on a pseudo-terminal: ignored, no error event
    control->SetBreak(true);
    control->SetBreak(false);

    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    control->Output(all);
    EXPECT_EQ(ReadAtFarEnd(all.size()), all);
    EXPECT_EQ(control->OutBufferCount(), 0);

    ASSERT_EQ(::write(m_master, all.data(), all.size()), 256);
    ASSERT_TRUE(RunUntil([&] { return received.size() >= all.size(); }));
    EXPECT_EQ(received, all);
    EXPECT_EQ(events, std::vector<int>(events.size(), SerialControl::kCommEventReceive));

    // A shutdown command is written and the port closed with no event loop pass in between.
    const std::vector<std::uint8_t> command(300, 0xA5);
    control->Output(command);
    control->SetPortOpen(false);
    EXPECT_FALSE(control->PortOpen());
    EXPECT_EQ(ReadAtFarEnd(command.size()), command);
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

// Linux raises DTR and RTS on open and the chip resets on DTR: both are released at once, and
// afterwards DTR moves only for the reset pulse.
TEST_F(PtyTest, BothModemLinesAreReleasedRightAfterTheOpen)
{
    LineRecorder lines;
    QtSerialControl recorded([this](int) { return PortDevice{m_slave, ""}; }, lines.Calls());
    recorded.SetPortOpen(true);
    ASSERT_TRUE(recorded.PortOpen());
    EXPECT_EQ(lines.calls, (std::vector<std::string>{"DTR off", "RTS off"}));
    recorded.SetDTREnable(true);
    recorded.SetDTREnable(false);
    EXPECT_EQ(lines.calls, (std::vector<std::string>{"DTR off", "RTS off", "DTR on", "DTR off"}));
}

// A USB adapter holds bytes in the kernel's queue long after Qt has handed them over; both count.
TEST_F(PtyTest, OutBufferCountIsQtsQueuePlusTheKernels)
{
    LineRecorder lines;
    lines.kernelQueued = 700;
    QtSerialControl recorded([this](int) { return PortDevice{m_slave, ""}; }, lines.Calls());
    recorded.SetPortOpen(true);
    ASSERT_TRUE(recorded.PortOpen());
    EXPECT_EQ(recorded.OutBufferCount(), 700);
    recorded.Output(std::vector<std::uint8_t>(300, 0x55));  // Qt keeps them until its event loop runs
    EXPECT_EQ(recorded.OutBufferCount(), 1000);
    EXPECT_TRUE(RunUntil([&] { return recorded.OutBufferCount() == 700; }));
}

// The real query succeeds on a pseudo-terminal (a wrong request fails), whose queue reads empty.
TEST_F(PtyTest, TheKernelQueueQueryWorksOnTheDevice)
{
    QSerialPort port(QString::fromStdString(m_slave));
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    EXPECT_EQ(PortLineCalls::Real().kernelQueued(port), 0);
}

// Opens the device in a child process; its exit status tells whether the open succeeded.
bool ChildCanOpen(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        QtSerialControl other([path](int) { return PortDevice{path, ""}; });
        other.SetPortOpen(true);
        ::_exit(other.PortOpen() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Another control here, or another program reaching the device under another name, must wait.
TEST_F(PtyTest, AnOpenPortIsNotShared)
{
    const std::string link = "/tmp/pellik_pty_link_" + std::to_string(::getpid());
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(m_slave.c_str(), link.c_str()), 0);
    EXPECT_TRUE(ChildCanOpen(link));  // free before we open it

    OpenPort4(*control);
    ASSERT_TRUE(control->PortOpen());
    auto second = MakeControl();
    OpenPort4(*second);
    EXPECT_FALSE(second->PortOpen());
    EXPECT_FALSE(ChildCanOpen(m_slave));
    EXPECT_FALSE(ChildCanOpen(link));
    ::unlink(link.c_str());

    control->SetPortOpen(false);
    OpenPort4(*second);
    EXPECT_TRUE(second->PortOpen());
}

}  // namespace
