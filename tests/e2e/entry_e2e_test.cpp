// The real binary's entry: run modes, message channels, exit status and what a run stores.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "cli/usage.h"
#include "tests/e2e/e2e_fixture.h"

namespace {

const std::string kTaggedTitle = "Ulvane Propeller Downloader 2.00 - KR6 32-Bit";
const std::string kPlainTitle = "Ulvane Propeller Downloader 2.00";

std::string Plain(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

TEST_F(EndToEnd, UsagePrintsTheSlashFormOnStandardOutput)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"/?"}, {"-com:3", "/?", "x.eeprom"}}) {
        const ChildResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, kTaggedTitle + "\nCommand Line Options ...\n\n" + Plain(UsageText("/")) + "\n");
        EXPECT_EQ(r.err, "");
    }
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(EndToEnd, ErrorGoesToStandardErrorWithExitOneAndStoresNothing)
{
    const ChildResult r = Run({"-com:3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kPlainTitle + "\nNo Download Filename Specified\n\n-com:3\n");
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(EndToEnd, ArgumentsAreJoinedWithSingleBlanks)
{
    const ChildResult r = Run({"-baud:9600", "-com:3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kPlainTitle + "\nNo Download Filename Specified\n\n-baud:9600 -com:3\n");
}

// The line names what is missing: a Wayland display alone is tried as Qt would try it.
TEST_F(EndToEnd, WindowModeWithoutADisplayExitsTwoWithOneLine)
{
    const struct {
        std::map<std::string, std::string> env;
        const char* names;
    } cases[] = {
        {{}, "set DISPLAY or WAYLAND_DISPLAY"},
        {{{"DISPLAY", ":97"}}, "DISPLAY=:97"},  // a display server that is not there
        {{{"DISPLAY", ":97"}, {"QT_QPA_PLATFORM", "xcb"}}, "DISPLAY=:97"},
        {{{"WAYLAND_DISPLAY", "nowhere-97"}}, "WAYLAND_DISPLAY=nowhere-97"},
        {{{"WAYLAND_DISPLAY", "nowhere-97"}, {"QT_QPA_PLATFORM", "wayland"}}, "WAYLAND_DISPLAY=nowhere-97"},
        // The user's own choice stands, even where X would be picked for them.
        {{{"DISPLAY", ":97"}, {"WAYLAND_DISPLAY", "nowhere-97"}, {"QT_QPA_PLATFORM", "wayland"}}, "WAYLAND_DISPLAY=nowhere-97"},
    };
    for (const auto& c : cases) {
        const ChildResult r = Run({}, c.env);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.names), std::string::npos) << r.err;
        EXPECT_FALSE(SettingsFileExists());
    }
}

TEST_F(EndToEnd, CommandLineRunStoresThePortItOpened)
{
    // A pseudo-terminal as COM7 that never answers: the port opens, no chip is found.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    m_links[7] = ::ptsname(master);
    WritePorts();
    WriteSettings("[Settings]\nPort=2\nFile=\" keep me \"\nPack=2\n");

    const ChildResult r = Run({"-com:7", "-baud:57600", "-identify"});
    ::close(master);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kPlainTitle + "\nNo Propeller Chip found\n");

    const std::string stored = ReadTextFile(SettingsFile());
    EXPECT_NE(stored.find("Port=7"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Baud=57600"), std::string::npos) << stored;
    EXPECT_NE(stored.find("File=\" keep me \""), std::string::npos) << stored;
    EXPECT_NE(stored.find("Pack=2"), std::string::npos) << stored;
    EXPECT_EQ(stored.find("Top="), std::string::npos) << stored;  // the hidden window has no position
}

TEST_F(EndToEnd, PortThatDoesNotOpenLeavesTheStoredPort)
{
    WritePorts();
    WriteSettings("[Settings]\nPort=2\n");
    const ChildResult r = Run({"-com:4", "-identify"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, Printed("No Propeller Chip found\r\nCOM4 (" + m_folder + "/no-such-device4): no such device"));
    EXPECT_NE(ReadTextFile(SettingsFile()).find("Port=2"), std::string::npos);
}

}  // namespace
