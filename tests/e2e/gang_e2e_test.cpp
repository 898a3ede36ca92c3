// pellik32-gang against virtual chips: boards that load, fail or lead nowhere, each with its own
// result and CSV line, the summary and exit status, and Pellik32's store left alone.
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <regex>
#include <sstream>

#include "tests/e2e/e2e_fixture.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The one line that holds part, or "".
std::string LineWith(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos)
            return line;
    }
    return "";
}

class GangEndToEnd : public EndToEnd {
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        if (!std::getenv("PELLIK32_GANG_BIN"))
            GTEST_SKIP() << "needs PELLIK32_GANG_BIN";
    }
    ChildResult RunGang(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {std::getenv("PELLIK32_GANG_BIN")};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunChild(argv, {{"XDG_CONFIG_HOME", m_folder + "/config"}, {"HOME", m_folder}, {"PATH", "/usr/bin:/bin"}},
                        60000);
    }
};

}  // namespace

TEST_F(GangEndToEnd, LoadsEveryBoardAtOnceAndRecordsEachResult)
{
    StartChip(1, {"--eeprom-busy-ms", "1000"});  // the slowest, started first: it must hold up no one
    StartChip(2);
    StartChip(3, {"--checksum-fail"});
    WritePorts();
    WriteTextFile(PortsFile(), ReadTextFile(PortsFile()) + "COM4=\n");  // the last value counts: no device
    const std::string ports = ReadTextFile(PortsFile());
    const std::string image = MakeImage(1024);
    const std::string sha = Sha256OfFile(image);
    const std::string csv = m_folder + "/report.csv";
    WriteTextFile(m_folder + "/odd.binary", "123456");

    const ChildResult usage = RunGang({"--baud", "1200", image});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("Invalid Baud Rate"), std::string::npos) << usage.err;
    const ChildResult odd = RunGang({"--ports", "1", "--report", csv, m_folder + "/odd.binary"});
    EXPECT_EQ(odd.exitCode, 1);
    EXPECT_EQ(odd.err, "Invalid file size\n");

    const ChildResult r = RunGang({"--ports", "1-4", "--eeprom", "--report", csv, image});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::vector<std::string> out = Lines(r.out);
    ASSERT_EQ(out.size(), 5u) << r.out;
    EXPECT_EQ(out.back(), "2 of 4 boards loaded");
    EXPECT_EQ(out[3].rfind("COM1 (", 0), 0u) << r.out;
    const std::vector<std::string> csvLines = Lines(ReadTextFile(csv));
    ASSERT_EQ(csvLines.size(), 5u);
    EXPECT_EQ(csvLines[0], "time,port,device,image,sha256,destination,result,seconds");
    const std::regex csvTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d,.*,\d+\.\d\d?$)");
    const struct {
        int port;
        std::string device;
        std::string result;
    } boards[] = {
        {1, m_links[1], "Download to Eeprom successful - Sent "},
        {2, m_links[2], "Download to Eeprom successful - Sent "},
        {3, m_links[3], "Checksum failed"},
        {4, "", "No Propeller Chip found"},
    };
    for (const auto& b : boards) {
        const std::string com = "COM" + std::to_string(b.port);
        const std::string shown = com + " (" + (b.device.empty() ? "no device" : b.device) + "): ";
        EXPECT_EQ(LineWith(out, shown).rfind(shown + b.result, 0), 0u) << r.out;
        const std::string line = LineWith(csvLines, "," + com + ",");
        EXPECT_TRUE(std::regex_match(line, csvTime)) << line;
        const std::string fields = "," + com + "," + b.device + "," + image + "," + sha + ",EEPROM,";
        EXPECT_NE(line.find(fields + b.result), std::string::npos) << line;
    }
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(ReadTextFile(PortsFile()), ports);

    // The search finds the chips that answer; the one stopped is no board.
    StopChild(m_chips[3]);
    m_chips.erase(3);
    const ChildResult found = RunGang({"--found", "--eeprom", image});
    EXPECT_EQ(found.exitCode, 0) << found.out << found.err;
    EXPECT_EQ(Lines(found.out).size(), 3u) << found.out;
    EXPECT_EQ(Lines(found.out).back(), "2 of 2 boards loaded");
    for (const int n : {1, 2}) {
        const std::string log = ChipLog(n);
        EXPECT_NE(log.find(sha), log.rfind(sha)) << "chip " << n << " should have the image twice:\n" << log;
    }
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(GangEndToEnd, CtrlCStopsEveryBoardAndFreesItsPort)
{
    StartChip(1, {"--eeprom-busy-ms", "4000"});
    StartChip(2, {"--eeprom-busy-ms", "4000"});
    WritePorts();
    const std::string image = MakeImage(1024);
    const std::string out = m_folder + "/gang.out";
    const pid_t gang = StartChild({"/usr/bin/env", "XDG_CONFIG_HOME=" + m_folder + "/config",
                                   std::getenv("PELLIK32_GANG_BIN"), "--ports", "1,2", "--eeprom", image},
                                  out);
    const bool waiting = WaitForChipEvent(1, "eeprom_wait") && WaitForChipEvent(2, "eeprom_wait");
    kill(gang, SIGINT);
    int status = 0;
    waitpid(gang, &status, 0);
    ASSERT_TRUE(waiting);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_EQ(ReadTextFile(out), "0 of 2 boards loaded\n");
    // Had a board's process kept its port, this run could not open it.
    const ChildResult again = RunGang({"--ports", "1,2", image});
    EXPECT_EQ(again.exitCode, 0) << again.out;
}
