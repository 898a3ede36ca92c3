// The real binary when things go wrong around it: a port number that would wrap, a far end that
// stops taking data, and an output nobody reads.
#include <gtest/gtest.h>

#include <dirent.h>

#include <set>

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

// 65540 cut to 16 bits is 4: the chip on COM4 must hear nothing.
TEST_F(EndToEnd, PortNumberBeyondWhatAPortHoldsReachesNoPort)
{
    StartChip(4);
    WritePorts();
    const ChildResult r = Run({"-com:65540", "-identify"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, Printed("No Propeller Chip found"));
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

}  // namespace
