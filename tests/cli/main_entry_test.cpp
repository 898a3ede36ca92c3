#include <gtest/gtest.h>

#include "cli/main_entry.h"
#include "cli/usage.h"
#include "tests/support/loader_fixture.h"
#include "text/trim_spaces.h"

namespace {

const std::string kTaggedTitle = "Ulvane Propeller Downloader 2.00 - KR6 32-Bit";
const std::string kPlainTitle = "Ulvane Propeller Downloader 2.00";

TEST(BuildTitle, FormatsVersionAndTag)
{
    const std::tuple<int, int, bool, std::string> cases[] = {
        {2, 0, true, kTaggedTitle},
        {2, 0, false, kPlainTitle},
        {2, 5, false, "Ulvane Propeller Downloader 2.05"},
        {2, 12, false, "Ulvane Propeller Downloader 2.12"},
        {2, 123, false, "Ulvane Propeller Downloader 2.23"},
        {10, 1, true, "Ulvane Propeller Downloader 10.01 - KR6 32-Bit"},
    };
    for (const auto& [major, minor, tag, expected] : cases)
        EXPECT_EQ(BuildTitle(major, minor, tag), expected) << major << "." << minor;
}

TEST(ChooseRunMode, PicksModeFromTrimmedArguments)
{
    const std::pair<std::string, RunMode> cases[] = {
        {"", RunMode::Window},          {"/?", RunMode::Usage},         {"/?x", RunMode::Usage},
        {"x/?y", RunMode::Usage},       {"-com:3 /? f", RunMode::Usage}, {"-?", RunMode::CommandLine},
        {"/ ?", RunMode::CommandLine},  {"?/", RunMode::CommandLine},   {"-h", RunMode::CommandLine},
        {"--version", RunMode::Version}, {"--version -h", RunMode::CommandLine}, {"-version", RunMode::CommandLine},
        {"--VERSION", RunMode::CommandLine},
    };
    for (const auto& [text, mode] : cases)
        EXPECT_EQ(ChooseRunMode(text), mode) << '"' << text << '"';
}

class MainTest : public LoaderFixture {
protected:
    int Run(const std::string& arguments)
    {
        EntryServices services;
        services.argumentText = arguments;
        services.runWindow = [this](Loader& l) {
            titlesInWindow.push_back(l.state.MessageTitle);
            return 0;
        };
        return Main(ld, ChooseRunMode(TrimSpaces(arguments)), services);
    }

    std::vector<std::string> titlesInWindow;
};

TEST_F(MainTest, EachRunModeShowsItsTitleAndGivesItsExitStatus)
{
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(Run("   "), 0);
    EXPECT_EQ(titlesInWindow, std::vector<std::string>(2, kTaggedTitle));
    EXPECT_TRUE(presenter.messages.empty());

    EXPECT_EQ(Run(" -com:3 /? file.eeprom "), 0);
    EXPECT_EQ(Run("  -com:3 "), 1);
    EXPECT_EQ(ld.argumentText, "  -com:3 ");
    ASSERT_EQ(presenter.messages.size(), 2u);
    const auto& usage = presenter.messages[0];
    EXPECT_EQ(usage.icon, MessageIcon::Information);
    EXPECT_EQ(usage.title, kTaggedTitle);
    EXPECT_EQ(usage.text, "Command Line Options ...\r\n\r\n" + UsageText("/"));
    const auto& error = presenter.messages[1];
    EXPECT_EQ(error.icon, MessageIcon::Warning);
    EXPECT_EQ(error.title, kPlainTitle);
    EXPECT_EQ(error.text, "No Download Filename Specified\r\n\r\n-com:3");
    EXPECT_EQ(titlesInWindow.size(), 2u);
    EXPECT_EQ(window.loads, 0);
}

}  // namespace
