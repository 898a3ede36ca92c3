// The log the user turns on: it says why a run failed or what the chip answered, and leaves
// the messages and exit status as they are.
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/e2e/e2e_fixture.h"

namespace {

constexpr int kNobody = 65534;  // a user the device's file mode stops, unlike root

struct LogCase {
    const char* name;
    std::vector<std::string> chipOptions;
    std::vector<std::string> args;
    bool refused;  // the run's user may not open the chip's device
    int exitCode;
    std::string message;             // printed on standard error on failure, else on standard output
    std::vector<std::string> lines;  // expected on standard error, each a whole line or its start
};

// The stream with the log's lines taken out, and the sent count (polls vary with timing) as N.
std::string WithoutLog(const std::string& text)
{
    const std::string lines = std::regex_replace(text, std::regex("pellik32\\.(serial|link|store): [^\n]*\n"), "");
    return std::regex_replace(lines, std::regex("Sent \\d+ bytes"), "Sent N bytes");
}

}  // namespace

TEST_F(EndToEnd, TheLogSaysWhyAndLeavesTheMessagesAsTheyAre)
{
    const std::string device = m_folder + "/ttyChip1";
    const std::string image = MakeImage(64);
    const LogCase cases[] = {
        {"device the user may not open", {}, {"-com:1", "-identify"}, true, 1,
         "No Propeller Chip found\r\nCOM1 (" + device + "): Permission denied; see \"Troubleshooting\" in man Pellik32",
         {"pellik32.serial: COM1 is " + device, "pellik32.serial: " + device + ": cannot open: Permission denied\n",
          "pellik32.link: COM1 handshake: no chip, the port did not open\n"}},
        {"silent port", {"--silent"}, {"-com:1", "-identify"}, false, 1, "No Propeller Chip found",
         {"pellik32.link: handshake bit 1: no answer within 100 ms\n", "pellik32.link: COM1 handshake: no chip\n"}},
        {"EEPROM download", {}, {"-com:1", "-eeprom", image}, false, 0,
         "Download to Eeprom successful - Sent N bytes",
         {"pellik32.link: COM1 handshake: chip version 1 found\n",
          "pellik32.link: checksum acknowledgement: 0 (okay)\n",
          "pellik32.link: EEPROM write acknowledgement: 0 (okay)\n",
          "pellik32.link: EEPROM verify acknowledgement: 0 (okay)\n"}},
    };
    // Root is stopped by no file mode, so it runs the refused case as nobody, who may not open
    // root's device; nobody must still reach the port map and the chip's link.
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(m_folder.c_str(), 0755), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_links.clear();
        StartChip(1, c.chipOptions);
        WritePorts();
        if (c.refused) {
            ASSERT_EQ(::chmod(device.c_str(), 0), 0);
        }
        const ChildResult r = Run(c.args, {{"QT_LOGGING_RULES", "pellik32.*=true"}}, 30000, ChildOutput::Pipes,
                                  c.refused && root ? kNobody : -1);
        ASSERT_NE(r.exitCode, 126) << "the run could not take the unprivileged user";
        ASSERT_NE(r.exitCode, 127) << "the unprivileged user cannot reach the program";
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        // Without its lines, the output is what a run without the log prints.
        EXPECT_EQ(WithoutLog(c.exitCode == 0 ? r.out : r.err), Printed(c.message));
        EXPECT_EQ(WithoutLog(c.exitCode == 0 ? r.err : r.out), "");
        for (const std::string& line : c.lines)
            EXPECT_NE(("\n" + r.err).find("\n" + line), std::string::npos) << line << "\n" << r.err;
        StopChild(m_chips[1]);
        m_chips.erase(1);
    }
}
