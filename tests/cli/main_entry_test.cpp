#include <gtest/gtest.h>

#include "cli/main_entry.h"
#include "cli/reports.h"
#include "tests/support/loader_fixture.h"

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
            ++windowRuns;
            titleInWindow = l.state.MessageTitle;
            return 0;
        };
        return Main(ld, services);
    }
    void ExpectOneBox(MessageIcon icon, const std::string& title, const std::string& text)
    {
        ASSERT_EQ(presenter.messages.size(), 1u);
        EXPECT_EQ(presenter.messages[0].icon, icon);
        EXPECT_EQ(presenter.messages[0].title, title);
        EXPECT_EQ(presenter.messages[0].text, text);
        EXPECT_EQ(windowRuns, 0);
        EXPECT_EQ(form.loads, 0);
    }

    int windowRuns = 0;
    std::string titleInWindow;
};

TEST_F(MainTest, NoArgumentsOrBlanksOnlyRunTheWindowWithTheTaggedTitle)
{
    for (const std::string args : {"", "   "}) {
        windowRuns = 0;
        EXPECT_EQ(Run(args), 0);
        EXPECT_EQ(windowRuns, 1) << '"' << args << '"';
        EXPECT_EQ(titleInWindow, kTaggedTitle);
        EXPECT_EQ(ld.state.CommandLine, "");
    }
    EXPECT_TRUE(presenter.messages.empty());
}

TEST_F(MainTest, UsageTriggerShowsOnlyTheSlashUsageBox)
{
    EXPECT_EQ(Run(" -com:3 /? file.eeprom "), 0);
    ExpectOneBox(MessageIcon::Information, kTaggedTitle, "Command Line Options ...\r\n\r\n" + UsageText("/"));
}

TEST_F(MainTest, CommandLineRunUsesPlainTitleAndExitsOneAfterAnError)
{
    EXPECT_EQ(Run("  -com:3 "), 1);
    EXPECT_EQ(ld.argumentText, "  -com:3 ");
    ExpectOneBox(MessageIcon::Warning, kPlainTitle, "No Download Filename Specified\r\n\r\n-com:3");
}

}  // namespace
