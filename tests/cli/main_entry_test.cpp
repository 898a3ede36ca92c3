#include <gtest/gtest.h>

#include "cli/main_entry.h"
#include "cli/reports.h"
#include "tests/support/loader_fixture.h"

namespace {

const std::string kTaggedTitle = "Ulvane Propeller Downloader 2.00 - KR6 32-Bit";
const std::string kPlainTitle = "Ulvane Propeller Downloader 2.00";

struct TitleCase {
    int major;
    int minor;
    bool tag;
    std::string expected;
};

TEST(BuildTitle, FormatsVersionAndTag)
{
    const TitleCase cases[] = {
        {2, 0, true, kTaggedTitle},
        {2, 0, false, kPlainTitle},
        {2, 5, false, "Ulvane Propeller Downloader 2.05"},
        {2, 12, false, "Ulvane Propeller Downloader 2.12"},
        {2, 123, false, "Ulvane Propeller Downloader 2.23"},
        {10, 1, true, "Ulvane Propeller Downloader 10.01 - KR6 32-Bit"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildTitle(c.major, c.minor, c.tag), c.expected) << c.major << "." << c.minor;
}

TEST(ChooseRunMode, PicksModeFromTrimmedArguments)
{
    const std::pair<std::string, RunMode> cases[] = {
        {"", RunMode::Window},
        {"/?", RunMode::Usage},
        {"/?x", RunMode::Usage},
        {"x/?y", RunMode::Usage},
        {"-com:3 /?", RunMode::Usage},
        {"-com:3 /? file.eeprom", RunMode::Usage},
        {"-?", RunMode::CommandLine},
        {"/ ?", RunMode::CommandLine},
        {"?/", RunMode::CommandLine},
        {"-h", RunMode::CommandLine},
        {"-com:3", RunMode::CommandLine},
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
    ASSERT_EQ(presenter.messages.size(), 1u);
    const auto& box = presenter.messages[0];
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.title, kTaggedTitle);
    EXPECT_EQ(box.text, std::string("Command Line Options ...\r\n\r\n") + UsageText("/"));
    EXPECT_EQ(windowRuns, 0);
    EXPECT_EQ(form.loads, 0);
}

TEST_F(MainTest, CommandLineRunUsesPlainTitleAndExitsOneAfterAnError)
{
    EXPECT_EQ(Run("  -com:3 "), 1);
    EXPECT_EQ(ld.argumentText, "  -com:3 ");
    ASSERT_EQ(presenter.messages.size(), 1u);
    const auto& box = presenter.messages[0];
    EXPECT_EQ(box.icon, MessageIcon::Warning);
    EXPECT_EQ(box.title, kPlainTitle);
    EXPECT_EQ(box.text, "No Download Filename Specified\r\n\r\n-com:3");
    EXPECT_EQ(form.loads, 0);
    EXPECT_EQ(windowRuns, 0);
}

}  // namespace
