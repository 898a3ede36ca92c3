#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdlib.h>

#include "cli/command_line.h"
#include "cli/usage.h"
#include "loader/port_check.h"
#include "tests/support/loader_fixture.h"
#include "tests/support/param_name.h"
#include "text/trim_spaces.h"

namespace fs = std::filesystem;

namespace {

// The fields an operation sees: "port baud [break] zero/one-pattern boot-command file", "-" for "".
std::string Describe(const LoaderState& s)
{
    const auto text = [](const std::string& t) { return t.empty() ? std::string("-") : t; };
    return std::to_string(s.PortNumber) + " " + text(s.BaudText) + (s.UseBreakReset ? " break " : " ") + s.ZeroPattern +
           "/" + s.OnePattern + " " + std::to_string(s.BootCommand) + " " + text(s.ImageFile);
}

// Runs in a fresh folder holding the files the cases name.
class CommandLineTest : public LoaderFixture {
protected:
    void SetUp() override
    {
        m_home = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "pellik-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        fs::current_path(m_dir);
        for (const fs::path file : {"image.eeprom", "x.eeprom", "sub/a.eeprom", "-img/x.eeprom", "one/p.eeprom",
                                    "two/p.eeprom", "two/q.eeprom", "hidden/.h.eeprom", "hidden/v.eeprom",
                                    "dirs/f.eeprom", "Case/Up.eeprom"}) {
            if (file.has_parent_path())
                fs::create_directories(file.parent_path());
            std::ofstream(file) << "abcd";
        }
        fs::create_directories("dirs/d.eeprom");
    }
    void TearDown() override
    {
        fs::current_path(m_home);
        fs::remove_all(m_dir);
    }
    // Like the real operations: load the window and check the port, except the search.
    std::function<void(Loader&)> Fake(const char* operation, bool checksPort)
    {
        return [this, operation, checksPort](Loader& l) {
            started.emplace_back(operation, Describe(l.state));
            window.Load();
            if (checksPort)
                CheckPortGiven(l);
        };
    }
    // As the entry hands a run over: the argument text untrimmed, CommandLine trimmed.
    void Run(const std::string& arguments)
    {
        ld.argumentText = arguments;
        ld.state.CommandLine = TrimSpaces(arguments);
        RunCommandLine(ld, fakes);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : presenter.messages)
            texts.push_back(m.text);
        return texts;
    }

    // Alone, the terminal opens the port as an operation does: it loads the window and checks the port.
    std::function<void(Loader&, bool)> FakeTerminal()
    {
        return [this](Loader& l, bool afterOperation) {
            terminal = afterOperation ? "after" : "alone";
            terminalBaud = l.state.TerminalBaud;
            if (!afterOperation) {
                window.Load();
                CheckPortGiven(l);
            }
        };
    }

    // The operations started: name and the fields as they found them.
    std::vector<std::pair<std::string, std::string>> started;
    std::string terminal;  // "after" an operation, "alone", or "" when it did not run
    std::string terminalBaud;
    const Operations fakes{Fake("find", false),     Fake("identify", true), Fake("download", true),
                           Fake("shutdown", true), Fake("reboot", true),   FakeTerminal()};
    fs::path m_home;
    fs::path m_dir;
};

struct RunCase {
    std::string arguments;
    // Exact message texts; "%" stands for CR LF CR LF and the trimmed argument text.
    std::vector<std::string> messages;
    std::string operation;  // "" when none may start
    std::string seen = "";  // the fields the operation found (before its port check), as Describe gives them
    std::string terminal = "";  // how the terminal ran: "after", "alone", or "" not at all; then its rate
    std::string terminalBaud = "";
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << "'" << c.arguments << "'"; }

class CommandLineRunTest : public CommandLineTest, public ::testing::WithParamInterface<RunCase> {};

// Fields left over from an earlier run are reset before the first token.
TEST_P(CommandLineRunTest, ShowsTheMessagesAndStartsTheOperationOnTheFieldsSet)
{
    const RunCase& c = GetParam();
    ld.state.PortNumber = 7;
    ld.state.BaudText = "9600";
    ld.state.UseBreakReset = true;
    ld.state.ZeroPattern = ld.state.OnePattern = "x";
    ld.state.BootCommand = 2;
    ld.state.ImageFile = "old";
    Run(c.arguments);

    std::vector<std::string> expected;
    for (std::string text : c.messages) {
        const auto mark = text.find('%');
        if (mark != std::string::npos)
            text.replace(mark, 1, "\r\n\r\n" + TrimSpaces(c.arguments));
        expected.push_back(text);
    }
    EXPECT_EQ(Texts(), expected);
    EXPECT_EQ(ld.errorsReported, static_cast<int>(expected.size()));
    for (const auto& m : presenter.messages)
        EXPECT_EQ(m.icon, MessageIcon::Warning);
    ASSERT_LE(started.size(), 1u);
    EXPECT_EQ(started.empty() ? "" : started.front().first, c.operation);
    if (!c.seen.empty() && !started.empty()) {
        EXPECT_EQ(started.front().second, c.seen);
    }
    EXPECT_EQ(terminal, c.terminal);
    EXPECT_EQ(terminalBaud, c.terminalBaud);
    // Every operation the run starts, and a terminal alone, is followed by the window's unload.
    EXPECT_EQ(window.unloads, c.operation.empty() && c.terminal.empty() ? 0 : 1);
    EXPECT_FALSE(window.Loaded());
    EXPECT_EQ(ld.state.CommandLine, "");
    EXPECT_NE(ld.state.ImageFile, "");
}

const std::string kNoPort = "No COM Port specified%";
const std::string kNoFile = "No Download Filename Specified%";
const std::string kAmbiguous = "Ambiguous Download Destination%";
const std::string kTwoPorts = "Multiple COM Port Selection%";

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineRunTest, ::testing::Values(
    // Settings, then one file name or operation; case does not matter, "--" is "-".
    RunCase{"-com:3 -ram -eeprom image.eeprom", {kAmbiguous}, ""},
    RunCase{"-com:3 -eeprom -ram image.eeprom", {kAmbiguous}, ""},
    RunCase{"-com:3 image.eeprom", {}, "download", "3 - 001/011 0 image.eeprom"},
    RunCase{"-com:3 -ram image.eeprom", {}, "download", "3 - 001/011 1 image.eeprom"},
    RunCase{"-com:3 -eeprom -e -w -write -eprom: image.eeprom", {}, "download", "3 - 001/011 3 image.eeprom"},
    RunCase{"--com:3 --dense x.eeprom", {}, "download", "3 - 001/01 0 x.eeprom"},
    RunCase{"-b:4800 -baud:4800 -com:3 image.eeprom", {}, "download", "3 4800 001/011 0 image.eeprom"},
    RunCase{"-b:14400 -com:3 image.eeprom", {}, "download", "3 14400 001/011 0 image.eeprom"},
    RunCase{"-b:28800 -com:3 image.eeprom", {}, "download", "3 28800 001/011 0 image.eeprom"},
    RunCase{"-b:38400 -com:3 image.eeprom", {}, "download", "3 38400 001/011 0 image.eeprom"},
    RunCase{"-b:115200 -com:3 image.eeprom", {}, "download", "3 115200 001/011 0 image.eeprom"},
    RunCase{"-PORT:3 -p:3 image.eeprom", {}, "download"},
    RunCase{"-com:3 -identify image.eeprom", {}, "identify"},
    RunCase{"-com:3 image.eeprom -eeprom", {}, "download"},
    RunCase{"-i -com:3", {kNoPort}, "identify"},
    RunCase{"-com:3 -r", {}, "reboot"},
    RunCase{"-com:3 -REBOOT", {}, "reboot"},
    RunCase{"-com:3 -s", {}, "shutdown"},
    RunCase{"-com:3 -shutdown x.eeprom", {}, "shutdown"},
    RunCase{"-find:5", {}, "find"},
    RunCase{"-f", {}, "find", "0 - 001/011 0 -"},
    RunCase{"-baud:19200 -find", {}, "find", "0 19200 001/011 0 -"},
    RunCase{"-search -com:x", {}, "find"},
    // Port switch; -3 and every other name that is not a switch stand for -com:<name>.
    RunCase{"-com:3 -com:4", {kTwoPorts}, ""},
    RunCase{"-com:3 -com:3.2", {kTwoPorts}, ""},
    RunCase{"-com:0", {"Invalid COM Port : '-com:0'%"}, ""},
    RunCase{"-com:-1", {"Invalid COM Port : '-com:-1'%"}, ""},
    RunCase{"-com:1e12", {"Invalid COM Port : '-com:1e12'%"}, ""},
    RunCase{"-com 3", {"Missing Switch Argument : '-com'%"}, ""},
    RunCase{"-p:", {"Missing Switch Argument : '-p'%"}, ""},
    RunCase{"-COM3 image.eeprom", {}, "download"},
    RunCase{"-COM3:57600 -break image.eeprom", {}, "download", "3 57600 break 001/011 0 image.eeprom"},
    RunCase{"-3:9600 image.eeprom", {}, "download", "3 - 001/011 0 image.eeprom"},
    RunCase{"-com:2.5 image.eeprom", {}, "download", "2 - 001/011 0 image.eeprom"},
    RunCase{"-com:3.5 image.eeprom", {}, "download", "4 - 001/011 0 image.eeprom"},
    RunCase{"-com:&H1F image.eeprom", {}, "download", "31 - 001/011 0 image.eeprom"},
    RunCase{"-Xyz:4", {"Invalid COM Port : '-com:Xyz'%"}, ""},
    RunCase{"/-1", {"Unknown Switch : '/-1'%"}, ""},
    RunCase{"---1", {"Unknown Switch : '--1'%"}, ""},
    // Baud switch.
    RunCase{"-baud:9600 -baud:9600", {kNoFile}, ""},
    RunCase{"-baud:9600 -b:19200", {"Multiple Baud Rate Selection%"}, ""},
    RunCase{"-baud:09600", {"Invalid Baud Rate : '-baud:09600'%"}, ""},
    RunCase{"-BAUD", {"Missing Switch Argument : '-BAUD'%"}, ""},
    // Composite port form: two messages for one token; the argument ends at the first colon.
    RunCase{"-comx:123", {"Invalid COM Port : '-com:x'%", "Invalid Baud Rate : '-baud:123'%"}, ""},
    RunCase{"-com:3 -com4:9600 image.eeprom", {kTwoPorts}, ""},
    RunCase{"-com3:x", {"Invalid Baud Rate : '-baud:x'%"}, ""},
    RunCase{"-COM:3 -com:9600:1", {kTwoPorts}, ""},
    // Switches that take no argument.
    RunCase{"-break", {kNoFile}, ""},
    RunCase{"-break:1", {"Invalid Switch : '-break:1'%"}, ""},
    RunCase{"-Dense:on", {"Invalid Switch : '-Dense:on'%"}, ""},
    RunCase{"-h:x", {"Invalid Switch : '-h:x'%"}, ""},
    RunCase{"-com:3 -identify:x", {"Invalid Switch : '-identify:x'%"}, ""},
    RunCase{"-ram:1", {"Invalid Switch : '-ram:1'%"}, ""},
    // The first switch character decides; a token with the other one is a file name.
    RunCase{"--", {"Syntax Error : '--'"}, ""},
    RunCase{"-:x", {"Syntax Error : '-:x'"}, ""},
    RunCase{"/", {"Syntax Error : '/'"}, ""},
    RunCase{"-com:3 /reboot", {"File Not Found\r\n\r\n/reboot"}, ""},
    RunCase{"/com:3 -dense", {"File Not Found\r\n\r\n-dense"}, ""},
    RunCase{"/COM:3 /DENSE /Eeprom image.eeprom", {}, "download", "3 - 001/01 3 image.eeprom"},
    RunCase{"/com:3 -img/x.eeprom", {}, "download", "3 - 001/011 0 -img/x.eeprom"},
    // File names: "\" is "/" only after "-" switches.
    RunCase{"-com:3 missing.eeprom", {"File Not Found\r\n\r\nmissing.eeprom"}, ""},
    RunCase{"-com:3 sub/a.eeprom", {}, "download", "3 - 001/011 0 sub/a.eeprom"},
    RunCase{"-com:3 sub\\a.eeprom", {}, "download", "3 - 001/011 0 sub/a.eeprom"},
    RunCase{"-com:3 one/*.eeprom", {}, "download", "3 - 001/011 0 one/p.eeprom"},
    RunCase{"-com:3 hidden/*.eeprom", {}, "download", "3 - 001/011 0 hidden/v.eeprom"},
    RunCase{"-com:3 dirs/*", {}, "download", "3 - 001/011 0 dirs/f.eeprom"},
    RunCase{"-com:3 i?age.*", {}, "download", "3 - 001/011 0 image.eeprom"},
    RunCase{"sub\\a.eeprom -com:3", {"File Not Found\r\n\r\nsub\\a.eeprom"}, ""},
    RunCase{"/com:3 sub\\a.eeprom", {"File Not Found\r\n\r\nsub\\a.eeprom"}, ""},
    RunCase{"-com:3 two/*.eeprom", {"Ambiguous Filename : 'two/*.eeprom'"}, ""},
    RunCase{"-com:3 dirs/d.eeprom", {"File Not Found\r\n\r\ndirs/d.eeprom"}, ""},
    RunCase{"-com:3 sub/", {"File Not Found\r\n\r\nsub/"}, ""},
    RunCase{"-com:3 case/up.eeprom", {"File Not Found\r\n\r\ncase/up.eeprom"}, ""},
    RunCase{"image.eeprom", {kNoPort}, "download"},
    // The terminal: a setting, with an optional rate; it follows an operation that reported no
    // error, except the search, which closes its ports, or it stands alone on a line with a port.
    RunCase{"-com:3 -t image.eeprom", {}, "download", "", "after"},
    RunCase{"-com:3 -Terminal:9600 -identify", {}, "identify", "", "after", "9600"},
    RunCase{"-t:300 -t:300 -com:3 -r", {}, "reboot", "", "after", "300"},
    RunCase{"-com:3 -term:3000000", {}, "", "", "alone", "3000000"},
    RunCase{"-t", {kNoPort}, "", "", "alone"},
    RunCase{"-t -i", {kNoPort}, "identify"},
    RunCase{"-t -find", {}, "find"},
    RunCase{"-t:299", {"Invalid Baud Rate : '-t:299'%"}, ""},
    RunCase{"-t:3000001", {"Invalid Baud Rate : '-t:3000001'%"}, ""},
    RunCase{"-t:09600", {"Invalid Baud Rate : '-t:09600'%"}, ""},
    RunCase{"-t:9600 -t:19200", {"Multiple Baud Rate Selection%"}, ""},
    // Tokens are split at blanks only; the echo is trimmed, a syntax error quotes the text untrimmed.
    RunCase{"  -com:3   -baud:1200  ", {"Invalid Baud Rate : '-baud:1200'%"}, ""},
    RunCase{"  -com:3\t-:x  ", {kNoFile}, ""},  // one token: port "3\t-" reads as 3
    RunCase{"  -com:3   -:x  ", {"Syntax Error : '  -com:3   -:x  '"}, ""}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return ParamName(info.index, info.param.arguments); });

TEST_F(CommandLineTest, ThePortCheckFillsTheDefaultsOfADownload)
{
    Run("-com:3 image.eeprom");
    EXPECT_EQ(ld.state.BaudText, "115200");
    EXPECT_EQ(ld.state.BootCommand, 1);
    EXPECT_EQ(ld.state.ImageFile, "image.eeprom");
}

TEST_F(CommandLineTest, HelpShowsTheUsageOfItsOwnPrefixAndEndsTheRun)
{
    for (const std::string prefix : {"-", "/"}) {
        presenter.messages.clear();
        Run(prefix + (prefix == "-" ? "help " : "H ") + prefix + "com:3 image.eeprom");
        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(presenter.messages[0].text, "Command Line Options ...\r\n\r\n" + UsageText(prefix));
        EXPECT_TRUE(started.empty());
        EXPECT_EQ(ld.state.ImageFile, "*");
        EXPECT_EQ(ld.errorsReported, 0);
    }
}

TEST_F(CommandLineTest, ASwitchNameLosesItsTrailingBlanksAndTheArgumentItsLeadingOnes)
{
    ParseSwitch(ld, fakes, "-", "-com  :  3");
    EXPECT_TRUE(presenter.messages.empty());
    EXPECT_EQ(ld.state.PortNumber, 3);
    ParseSwitch(ld, fakes, "/", "/Baud  : 9600");
    EXPECT_EQ(ld.state.BaudText, "9600");
    ParseSwitch(ld, fakes, "/", "/break : x");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid Switch : '/break:x'\r\n\r\n"});
}

}  // namespace
