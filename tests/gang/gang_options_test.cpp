// pellik32-gang's command line in one table: every valid form and every usage error; and the
// texts a board is recorded with.
#include <gtest/gtest.h>

#include "gang/board_report.h"
#include "gang/board_text.h"
#include "gang/csv_report.h"
#include "gang/gang_options.h"

namespace {

// "ports 1 2 eeprom dense break 57600 report r.csv x", "found 115200 x", "help", "error: why".
std::string Describe(const GangCommandLine& line)
{
    if (line.command != GangCommand::Run)
        return line.command == GangCommand::Help ? "help" : line.command == GangCommand::Version ? "version"
                                                                                                 : "error: " + line.error;
    const GangOptions& o = line.options;
    std::string text = o.ports.empty() ? "found" : "ports";
    for (const int port : o.ports)
        text += " " + std::to_string(port);
    text += std::string(o.eeprom ? " eeprom" : "") + (o.dense ? " dense" : "") + (o.useBreak ? " break" : "");
    text += " " + o.baud + (o.reportFile.empty() ? "" : " report " + o.reportFile);
    return text + " " + o.image;
}

const std::string kNotAList = "': not a list of port numbers 1 to 32767 such as 1-8,12";

}  // namespace

TEST(GangOptions, EveryFormAndEveryUsageError)
{
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"x.eeprom"}, "found 115200 x.eeprom"},
        {{"--found", "--eeprom", "x"}, "found eeprom 115200 x"},
        {{"--ports", "1-3,12,2", "--dense", "--break", "x"}, "ports 1 2 3 12 dense break 115200 x"},
        {{"--ports=7,5-6,7", "--baud", "9600", "--report", "r.csv", "x"}, "ports 7 5 6 9600 report r.csv x"},
        {{"--ports", "32767", "--baud=4800", "x"}, "ports 32767 4800 x"},
        {{"x", "--eeprom"}, "found eeprom 115200 x"},
        {{"--", "--eeprom"}, "found 115200 --eeprom"},
        {{"--help", "--bogus"}, "help"},
        {{"--version", "a", "b"}, "version"},
        {{}, "error: no IMAGE given"},
        {{"a", "b"}, "error: one IMAGE only, not also 'b'"},
        {{"--bogus", "--help"}, "error: unknown option '--bogus'"},
        {{"-e", "x"}, "error: unknown option '-e'"},
        {{"--eeprom=1", "x"}, "error: unknown option '--eeprom=1'"},
        {{"--ports", "1", "--found", "x"}, "error: --ports and --found exclude each other"},
        {{"x", "--ports"}, "error: option '--ports' needs a value"},
        {{"--ports", "0", "x"}, "error: --ports '0" + kNotAList},
        {{"--ports", "32768", "x"}, "error: --ports '32768" + kNotAList},
        {{"--ports", "3-1", "x"}, "error: --ports '3-1" + kNotAList},
        {{"--ports", "1,,2", "x"}, "error: --ports '1,,2" + kNotAList},
        {{"--ports", "1-", "x"}, "error: --ports '1-" + kNotAList},
        {{"--ports", "1-2-3", "x"}, "error: --ports '1-2-3" + kNotAList},
        {{"--ports", " 1", "x"}, "error: --ports ' 1" + kNotAList},
        {{"--ports", "1-300", "x"}, "error: --ports '1-300': more than 256 ports"},
        {{"--baud", "1200", "x"}, "error: Invalid Baud Rate '1200': one of 4800 9600 14400 19200 28800 38400 57600 115200"},
        {{"--report=", "x"}, "error: --report needs a file name"},
    };
    for (const auto& c : cases) {
        std::string args;
        for (const std::string& arg : c.args)
            args += "[" + arg + "]";
        EXPECT_EQ(Describe(ParseGangOptions(c.args)), c.expected) << args;
    }
}

TEST(GangText, MessagesOnOneLineInTheReportPipeAndTheCsvField)
{
    const struct {
        std::string message;
        std::string joined;
        std::string field;
    } cases[] = {
        {"Checksum failed", "Checksum failed", "Checksum failed"},
        {"File not found\r\n\r\nx.eeprom", "File not found; x.eeprom", "\"File not found\r\n\r\nx.eeprom\""},
        {"a, b\\c", "a, b\\c", "\"a, b\\c\""},
        {"say \"hi\"\n", "say \"hi\"", "\"say \"\"hi\"\"\n\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinedMessage(c.message), c.joined);
        EXPECT_EQ(CsvField(c.message), c.field);
        const std::string line = EncodeReport({ReportKind::Failed, c.message});
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        const auto decoded = DecodeReport(line.substr(0, line.size() - 1));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->kind, ReportKind::Failed);
        EXPECT_EQ(decoded->text, c.message);
    }
}
