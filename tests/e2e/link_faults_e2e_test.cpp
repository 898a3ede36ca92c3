// The real binary when things go wrong around it: a port that does not open, a far end that
// stops taking data, and an output nobody reads.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include <set>

#include "tests/e2e/display_servers.h"
#include "tests/e2e/e2e_fixture.h"

namespace {

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.' || entry->d_name[1] > '.')
                names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

// A port that does not open at all says why on a second line. 65540 cut to 16 bits is 4: the
// chip on COM4 must hear nothing.
TEST_F(EndToEnd, APortThatDoesNotOpenSaysWhy)
{
    StartChip(4);
    WritePorts();
    WriteTextFile(PortsFile(), ReadTextFile(PortsFile()) + "COM9=\n");
    const std::pair<std::string, std::string> cases[] = {
        {"-com:65540", "COM65540: not in the port map's range (1 to 32767)"},
        {"-com:9", "COM9: ports.conf maps it to no device"},
        {"-com:5", "COM5 (" + m_folder + "/no-such-device5): no such device"},
    };
    for (const auto& [port, why] : cases) {
        const ChildResult r = Run({port, "-identify"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, Printed("No Propeller Chip found\r\n" + why));
    }
    EXPECT_EQ(ChipLog(4).find("session_start"), std::string::npos) << ChipLog(4);
}

TEST_F(EndToEnd, FarEndThatStopsTakingDataIsALostLink)
{
    StartChip(1, {"--stop-reading-at", "image"});
    WritePorts();
    const ChildResult r = Run({"-com:1", MakeImage(32768)}, {}, 30000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, Printed("Hardware link lost"));
    EXPECT_NE(ChipLog(1).find("stop_reading"), std::string::npos);
}

TEST_F(EndToEnd, OutputNobodyReadsChangesNeitherStatusNorStore)
{
    StartChip(1);
    WritePorts();
    const std::string folder = m_folder + "/config/Pellik32";
    for (const ChildOutput output : {ChildOutput::BrokenPipe, ChildOutput::Closed}) {
        for (const int port : {1, 2}) {  // a result, and an error
            SCOPED_TRACE((output == ChildOutput::Closed ? "closed, port " : "broken pipe, port ") + std::to_string(port));
            std::remove(SettingsFile().c_str());
            const ChildResult r = Run({"-com:" + std::to_string(port), "-identify"}, {}, 30000, output);
            EXPECT_EQ(r.exitCode, port == 1 ? 0 : 1) << r.err;
            EXPECT_NE(ReadTextFile(SettingsFile()).find("Port=1\n"), std::string::npos);
            EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"Pellik32.conf", "ports.conf"}));
        }
    }
}

// Started with no standard streams at all, the port must not take one of their numbers: an
// error printed while it is open would go down the line to the chip.
TEST_F(EndToEnd, WithoutStandardStreamsNoMessageGoesToThePort)
{
    StartChip(1, {"--answer-polls", "258"});  // no checksum answer: an error while the port is open
    WritePorts();
    EXPECT_EQ(Run({"-com:1", MakeImage(64)}, {}, 30000, ChildOutput::Closed).exitCode, 1);
    // The chip reads the next run's handshake only after whatever came before it.
    EXPECT_EQ(Run({"-com:1", "-identify"}).exitCode, 0);
    EXPECT_EQ(ChipLog(1).find("decode_error"), std::string::npos) << ChipLog(1);
}

// Ctrl-C during a download stops it at once: the port closed and Qt's lock file with it, nothing
// new stored, and the status that names the signal.
TEST_F(EndToEnd, ASignalStopsADownloadAndLeavesNoLockBehind)
{
    StartChip(1, {"--eeprom-busy-ms", "8000"});
    WritePorts();
    WriteSettings("[Settings]\nPort=2\n");
    std::string lock = "/var/lock/LCK.." + m_links[1];
    std::replace(lock.begin() + 15, lock.end(), '/', '_');
    const pid_t run = Spawn({std::getenv("PELLIK32_BIN"), "-com:1", "-eeprom", MakeImage(4096)},
                            {"XDG_CONFIG_HOME=" + m_folder + "/config", "PATH=/usr/bin:/bin"}, m_folder + "/run.log");
    ASSERT_TRUE(WaitForChipEvent(1, "eeprom_wait")) << ReadTextFile(m_folder + "/run.log");
    EXPECT_EQ(::access(lock.c_str(), F_OK), 0) << "no lock file at " << lock;
    ::kill(run, SIGINT);
    EXPECT_EQ(WaitForExit(run, 10000), 130);
    EXPECT_NE(::access(lock.c_str(), F_OK), 0) << lock;
    EXPECT_EQ(ReadTextFile(SettingsFile()), "[Settings]\nPort=2\n");
}

}  // namespace
