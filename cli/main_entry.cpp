#include "cli/main_entry.h"

#include <cstdio>

#include "cli/command_line.h"
#include "cli/usage.h"
#include "loader/reports.h"
#include "text/trim_spaces.h"

namespace {

constexpr const char* kUsageTrigger = "/?";

int ExitStatus(const Loader& ld)
{
    return ld.errorsReported > 0 ? 1 : 0;
}

}  // namespace

std::string BuildTitle(int major, int minor, bool withBuildTag)
{
    const std::string minorText = "0" + std::to_string(minor);
    std::string title = kProductCaption + NumberText(major) + "." + minorText.substr(minorText.size() - 2);
    if (withBuildTag)
        title += kBuildTag;
    return title;
}

RunMode ChooseRunMode(const std::string& trimmedArguments)
{
    if (trimmedArguments.empty())
        return RunMode::Window;
    if (trimmedArguments == "--version")
        return RunMode::Version;
    // Upper-casing cannot create or remove "/?", so the plain text is searched.
    if (trimmedArguments.find(kUsageTrigger) != std::string::npos)
        return RunMode::Usage;
    return RunMode::CommandLine;
}

int Main(Loader& ld, RunMode mode, const EntryServices& services)
{
    LoaderState& s = ld.state;
    s.MessageTitle = BuildTitle(services.versionMajor, services.versionMinor, true);
    s.CommandLine = TrimSpaces(services.argumentText);
    // Messages echo the argument text; the window has none.
    ld.argumentText = mode == RunMode::Window ? "" : services.argumentText;
    switch (mode) {
    case RunMode::Window:
        return services.runWindow ? services.runWindow(ld) : 0;
    case RunMode::Usage:
        ShowUsage(ld, "/");
        return ExitStatus(ld);
    case RunMode::Version:
        std::printf("Pellik32 %s\n", services.packageVersion.c_str());
        return 0;
    case RunMode::CommandLine:
        break;
    }

    s.MessageTitle = BuildTitle(services.versionMajor, services.versionMinor, false);
    Operations ops = RealOperations();
    ops.RunTerminal = services.runTerminal;
    RunCommandLine(ld, ops);
    return ExitStatus(ld);
}
