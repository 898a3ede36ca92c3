// The real binary on a pseudo-terminal against the virtual chip: results, errors, exit status,
// what the chip received and what the run stored.
#include <csignal>
#include <regex>
#include <thread>

#include "tests/e2e/e2e_fixture.h"
#include "tests/support/file_wait.h"

namespace {

struct ShortCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

int SentCount(const std::string& out)
{
    std::smatch m;
    const std::regex sent("Sent (\\d+) bytes");
    return std::regex_search(out, m, sent) ? std::stoi(m[1]) : -1;
}

}  // namespace

TEST_F(EndToEnd, ShortOperationsInBothPackings)
{
    StartChip(1);
    WritePorts();
    const ShortCase cases[] = {
        {"identify", {"-com:1", "-identify"}, "Propeller Chip Version 1 found"},
        {"identify dense", {"-com:1", "-dense", "-i"}, "Propeller Chip Version 1 found"},
        {"reboot", {"-com:1", "-reboot"}, "Rebooted"},
        {"reboot dense", {"/com:1", "/dense", "/r"}, "Rebooted"},
        {"shutdown", {"-com:1", "-shutdown"}, "Shutdown Sent"},
        {"shutdown dense", {"-com:1", "-dense", "-s"}, "Shutdown Sent"},
    };
    for (const auto& c : cases) {
        WriteTextFile(m_folder + "/chip1.log", "");  // the chip appends to it
        const ChildResult r = Run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.name << "\n" << r.err;
        EXPECT_EQ(r.out, Printed(c.message)) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
        // A shutdown reached the chip as the command long 0.
        if (std::string(c.message) == "Shutdown Sent") {
            EXPECT_TRUE(WaitForFileText(m_folder + "/chip1.log", "\"kind\":\"shutdown\"", 10000)) << c.name;
        }
    }
}

TEST_F(EndToEnd, FullRamAndEepromDownloadsArriveIntact)
{
    StartChip(1);
    WritePorts();
    const std::string image = MakeImage(32768);
    const std::string sha = Sha256OfFile(image);

    const ChildResult ram = Run({"-com:1", image});
    EXPECT_EQ(ram.exitCode, 0) << ram.err;
    EXPECT_EQ(ram.out.rfind(Printed("Download to Ram successful - Sent").substr(0, 60), 0), 0u) << ram.out;
    // 8194 longs of 11 characters, plus the polls for the checksum answer.
    EXPECT_GE(SentCount(ram.out), 90134 + 1);
    EXPECT_LE(SentCount(ram.out), 90134 + 25);

    const ChildResult eeprom = Run({"-com:1", "-eeprom", image});
    EXPECT_EQ(eeprom.exitCode, 0) << eeprom.err;
    EXPECT_NE(eeprom.out.find("Download to Eeprom successful - Sent "), std::string::npos) << eeprom.out;

    const ChildResult dense = Run({"-com:1", "-dense", "-e", image});
    EXPECT_EQ(dense.exitCode, 0) << dense.err;
    EXPECT_LT(SentCount(dense.out), SentCount(eeprom.out));

    const std::string log = ChipLog(1);
    std::size_t images = 0;
    for (std::size_t at = log.find(sha); at != std::string::npos; at = log.find(sha, at + 1))
        ++images;
    EXPECT_EQ(images, 3u) << "sha " << sha << " in\n" << log;
}

// Run from a terminal, the bar on standard error is erased before the result is printed there.
TEST_F(EndToEnd, TheTerminalBarIsErasedBeforeTheResult)
{
    StartChip(1);
    WritePorts();
    const ChildResult r = Run({"-com:1", MakeImage(4096)}, {}, 60000, ChildOutput::Terminal);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("] 100%\r\033[KUlvane Propeller Downloader 2.00"), std::string::npos) << r.out;
}

struct FailureCase {
    const char* name;
    std::vector<std::string> chipOptions;
    std::vector<std::string> args;  // the image path is appended
    const char* message;
};

TEST_F(EndToEnd, ChipFailuresEndInTheirMessage)
{
    const FailureCase cases[] = {
        {"checksum failure", {"--checksum-fail"}, {"-com:1"}, "Checksum failed"},
        {"write failure", {"--write-fail"}, {"-com:1", "-eeprom"}, "Write Eeprom Failed"},
        {"verify failure", {"--verify-fail"}, {"-com:1", "-eeprom"}, "Verify Eeprom Failed"},
        {"silence after the image", {"--silent-after-image"}, {"-com:1"}, "Timedout waiting for Checksum Okay response"},
        {"version 2", {"--version", "2"}, {"-com:1"}, "No Propeller Chip found"},
        {"garbage answers", {"--garbage"}, {"-com:1"}, "No Propeller Chip found"},
        {"answers only the handshake", {"--answer-polls", "258"}, {"-com:1", "-eeprom"},
         "Timedout waiting for Checksum Okay response"},
        {"unplugged in the handshake", {"--unplug-at", "handshake"}, {"-com:1"}, "Hardware link lost"},
        {"unplugged in the image", {"--unplug-at", "image"}, {"-com:1"}, "Hardware link lost"},
        {"unplugged in the EEPROM wait", {"--unplug-at", "eeprom", "--eeprom-busy-ms", "2000"}, {"-com:1", "-eeprom"}, "Hardware link lost"},
    };
    const std::string image = MakeImage(4096);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_links.clear();
        StartChip(1, c.chipOptions);
        WritePorts();
        std::vector<std::string> args = c.args;
        args.push_back(image);
        const ChildResult r = Run(args, {}, 30000);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 1) << r.out;
        EXPECT_EQ(r.err, Printed(c.message));
        EXPECT_EQ(r.out, "");
        StopChild(m_chips[1]);
        m_chips.erase(1);
    }
}

TEST_F(EndToEnd, SearchReportsEveryPortAndStoresTheOnlyOne)
{
    StartChip(2);
    StartChip(5);
    WritePorts();
    const ChildResult many = Run({"-find"});
    EXPECT_EQ(many.exitCode, 0) << many.err;
    std::string report = "Multiple Propeller Chips found\r\n";
    for (int n = 1; n <= 10; ++n)
        report += "\r\n " + std::to_string(n) + " : " + (n == 2 || n == 5 ? "Propeller Chip Version 1 found" : "-");
    EXPECT_EQ(many.out, Printed(report));

    for (auto& [n, pid] : m_chips)
        StopChild(pid);
    m_chips.clear();
    m_links.clear();
    StartChip(10);
    WritePorts();
    const ChildResult one = Run({"-search"});
    EXPECT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.out.rfind(Printed("One Propeller Chip found").substr(0, 57), 0), 0u) << one.out;
    EXPECT_NE(one.out.find("\n 10 : Propeller Chip Version 1 found\n"), std::string::npos) << one.out;
    EXPECT_NE(ReadTextFile(SettingsFile()).find("Port=10"), std::string::npos) << ReadTextFile(SettingsFile());
}

TEST_F(EndToEnd, StoresThePortAndBaudItOpenedAndNothingWhenItFailsEarly)
{
    StartChip(5);
    const ChildResult early = Run({"-identify"});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_EQ(early.err, Printed("No COM Port specified\r\n\r\n-identify"));
    EXPECT_FALSE(SettingsFileExists());

    WritePorts();
    const ChildResult r = Run({"-com:5", "-identify"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string settings = ReadTextFile(SettingsFile());
    EXPECT_NE(settings.find("Port=5"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Baud=115200"), std::string::npos) << settings;
}

TEST_F(EndToEnd, ChipKilledDuringADownloadIsALostLink)
{
    // A long EEPROM write keeps the download waiting while the chip dies.
    StartChip(1, {"--eeprom-busy-ms", "8000"});
    WritePorts();
    const std::string image = MakeImage(32768);
    ChildResult r;
    std::thread download([&] { r = Run({"-com:1", "-eeprom", image}, {}, 30000); });
    const bool waiting = WaitForChipEvent(1, "eeprom_wait");
    kill(m_chips[1], SIGKILL);
    download.join();
    ASSERT_TRUE(waiting) << "the download never reached the EEPROM wait\n" << r.err;
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, Printed("Hardware link lost"));
}

TEST_F(EndToEnd, APortHeldByAnotherProgramIsNotShared)
{
    // The first run holds the port through a long EEPROM write; the second must not get in.
    StartChip(1, {"--eeprom-busy-ms", "3000"});
    WritePorts();
    const std::string image = MakeImage(64);
    ChildResult holder;
    std::thread first([&] { holder = Run({"-com:1", "-eeprom", image}, {}, 30000); });
    const bool holding = WaitForChipEvent(1, "eeprom_wait");
    const ChildResult second = Run({"-com:1", "-identify"}, {}, 30000);
    first.join();
    ASSERT_TRUE(holding) << holder.err;
    EXPECT_EQ(second.exitCode, 1);
    const std::regex why("No Propeller Chip found\nCOM1 \\(" + m_links[1] + "\\): in use by process \\d+ \\(Pellik32\\)\n$");
    EXPECT_TRUE(std::regex_search(second.err, why)) << second.err;
    EXPECT_EQ(holder.exitCode, 0) << holder.err;
    EXPECT_NE(holder.out.find("Download to Eeprom successful"), std::string::npos) << holder.out;
}
