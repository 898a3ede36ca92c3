// The real binary and the user's files: the port map is only read, the store is a plain file
// or nothing and is written once per run, atomically.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>

#include "tests/e2e/e2e_fixture.h"

namespace {

mode_t TypeAt(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

TEST_F(EndToEnd, PortMapIsReadAsWrittenAndNeverWritten)
{
    // A by-id name with ";", a blank and a Latin-1 byte: each must reach the open unchanged.
    StartChip(7, {}, m_folder + "/usb-FTDI_a;b caf\xE9");
    WritePorts();
    const std::string map = "; boards on this desk\n\n[Ports]\r\nCOM7 = " + m_links[7] +
                            "\r\n# COM2=/dev/ttyS1\nCOM1=" + m_folder + "/gone\n";
    WriteTextFile(PortsFile(), map);
    for (const auto& args : {std::vector<std::string>{"-com:7", "-identify"}, {"-com:7", "-reboot"}, {"-com:1", "-i"}}) {
        const ChildResult r = Run(args);
        EXPECT_EQ(r.exitCode, args[0] == "-com:7" ? 0 : 1) << r.out << r.err;
    }
    EXPECT_EQ(ReadTextFile(PortsFile()), map);
    EXPECT_EQ(ReadTextFile(SettingsFile()).find("Ports"), std::string::npos) << ReadTextFile(SettingsFile());
}

TEST_F(EndToEnd, StoreThatIsNoPlainFileIsNeitherReadNorWritten)
{
    StartChip(1);
    WritePorts();
    const std::string node = m_folder + "/null-node";
    const struct {
        const char* name;
        std::function<bool()> make;
    } cases[] = {
        // The numbers of /dev/null, on a node of the test's own; only root may make one.
        {"link to a device", [&] { return ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                                          ::symlink(node.c_str(), SettingsFile().c_str()) == 0; }},
        {"FIFO", [&] { return ::mkfifo(SettingsFile().c_str(), 0600) == 0; }},
        {"folder", [&] { return ::mkdir(SettingsFile().c_str(), 0700) == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::unlink(SettingsFile().c_str());
        ::rmdir(SettingsFile().c_str());
        if (!c.make()) {
            std::printf("skipped: cannot make a %s here\n", c.name);
            continue;
        }
        const mode_t type = TypeAt(SettingsFile());
        const ChildResult r = Run({"-com:1", "-identify"}, {}, 20000);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, Printed("Propeller Chip Version 1 found"));
        EXPECT_EQ(TypeAt(SettingsFile()), type);
        if (type == S_IFLNK) {
            EXPECT_EQ(TypeAt(node), static_cast<mode_t>(S_IFCHR));
        }
    }
}

TEST_F(EndToEnd, LinkedStoreStaysALinkAndWithoutAHomeNothingIsStored)
{
    StartChip(1);
    WritePorts();
    ::mkdir((m_folder + "/dotfiles").c_str(), 0755);
    WriteTextFile(m_folder + "/dotfiles/pellik.conf", "[Mine]\nkeep=1\n[Settings]\nPort=2\n");
    ASSERT_EQ(::symlink("../../dotfiles/pellik.conf", SettingsFile().c_str()), 0);
    EXPECT_EQ(Run({"-com:1", "-identify"}).exitCode, 0);
    EXPECT_EQ(TypeAt(SettingsFile()), static_cast<mode_t>(S_IFLNK));
    const std::string stored = ReadTextFile(SettingsFile());
    EXPECT_NE(stored.find("[Mine]\nkeep=1\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Port=1\n"), std::string::npos) << stored;

    const bool hadRootConfig = TypeAt("/.config/Pellik32") != 0;
    const ChildResult r = Run({"-com:40000", "-identify"}, {{"XDG_CONFIG_HOME", ""}, {"HOME", ""}});
    EXPECT_EQ(r.err, Printed("No Propeller Chip found\r\nCOM40000: not in the port map's range (1 to 32767)"));
    if (!hadRootConfig) {
        EXPECT_EQ(TypeAt("/.config/Pellik32"), 0u) << "a store was made in /";
    }
}

// The store is replaced once per run, by a rename: never written in place, never six times.
TEST_F(EndToEnd, OneRunWritesTheStoreOnceAndNeverInPlace)
{
    StartChip(1);
    WritePorts();
    WriteSettings("[Settings]\nPort=2\n");
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(::inotify_add_watch(watch, (m_folder + "/config/Pellik32").c_str(), IN_MODIFY | IN_MOVED_TO), 0);
    EXPECT_EQ(Run({"-com:1", "-identify"}).exitCode, 0);
    int moves = 0, inPlace = 0;
    alignas(inotify_event) char buffer[16384];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + n; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len) {
            const auto* event = reinterpret_cast<inotify_event*>(at);
            if (event->len > 0 && std::string(event->name) == "Pellik32.conf")
                ++(event->mask & IN_MOVED_TO ? moves : inPlace);
        }
    }
    ::close(watch);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(inPlace, 0);
    EXPECT_NE(ReadTextFile(SettingsFile()).find("Port=1\n"), std::string::npos);
}

}  // namespace
