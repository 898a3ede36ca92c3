// libFuzzer target for the command-line parser: any argument text must end in at most two
// messages and at most one operation, with the run finished and the window unloaded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdlib.h>
#include <string>

#include "cli/command_line.h"
#include "loader/port_check.h"
#include "loader/reports.h"
#include "tests/support/fake_window.h"
#include "tests/support/recording_presenter.h"
#include "tests/support/virtual_clock.h"

namespace {

namespace fs = std::filesystem;

// Counts into operations; like the real ones, loads the window and checks the port, except the search.
std::function<void(Loader&)> Fake(int& operations, FakeWindow& window, bool checksPort)
{
    return [&operations, &window, checksPort](Loader& ld) {
        ++operations;
        window.Load();
        if (checksPort)
            CheckPortGiven(ld);
    };
}

// Fragments that make switch-like text far more often than random bytes do.
const char* const kFragments[] = {
    "-", "/", "--", ":", " ", " ", "  ", "\t", "com", "COM", "p", "port", "b", "baud", "break", "dense",
    "ram", "e", "eeprom", "w", "write", "f", "find", "search", "h", "help", "i", "identify", "r", "reboot",
    "s", "shutdown", "t", "term", "terminal", "300", "3", "0", "-1", "2.5", "1e12", "1e999", "&H1F", "&O7", "9600", "115200", "x", "?",
    "*", "a.eeprom", "*.eeprom", "sub/", "sub\\", "\\", ".", "D", "+"};

std::string ArgumentText(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    if (size == 0)
        return text;
    if (data[0] & 1) {
        for (std::size_t i = 1; i < size; ++i) {
            if (data[i] != 0)
                text += static_cast<char>(data[i]);
        }
        return text;
    }
    constexpr std::size_t kCount = sizeof(kFragments) / sizeof(kFragments[0]);
    for (std::size_t i = 1; i < size; ++i)
        text += kFragments[data[i] % kCount];
    return text;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

fs::path g_folder;

void RemoveFolder()
{
    std::error_code ignored;
    fs::remove_all(g_folder, ignored);
}

}  // namespace

// File names are looked up relative to a private folder, never the caller's.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::string pattern = (fs::temp_directory_path() / "pellik-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    g_folder = pattern;
    fs::current_path(g_folder);
    fs::create_directories("sub");
    for (const char* file : {"a.eeprom", "b.eeprom", "sub/a.eeprom"})
        std::ofstream(file) << "abcd";
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    VirtualClock clock;
    RecordingPresenter presenter;
    FakeWindow window;
    Loader ld{clock, presenter, window};
    ld.argumentText = ArgumentText(data, size);
    ld.state.CommandLine = EchoText(ld);  // as the entry hands it over: trimmed
    int operations = 0;
    int terminalsAlone = 0;
    int terminalsAfter = 0;
    // Alone, the terminal opens the port as an operation does.
    const auto terminal = [&](Loader& l, bool afterOperation) {
        ++(afterOperation ? terminalsAfter : terminalsAlone);
        if (!afterOperation) {
            window.Load();
            CheckPortGiven(l);
        }
    };
    const Operations fakes{Fake(operations, window, false), Fake(operations, window, true),
                           Fake(operations, window, true), Fake(operations, window, true),
                           Fake(operations, window, true), terminal};

    RunCommandLine(ld, fakes);

    // Every run ends in a message, an operation or the terminal alone.
    Check(!presenter.messages.empty() || operations + terminalsAlone == 1);
    Check(presenter.messages.size() <= 2);
    Check(operations + terminalsAlone <= 1);
    Check(terminalsAfter <= operations);
    Check(ld.state.CommandLine.empty());
    Check(!ld.state.ImageFile.empty());
    Check(!window.Loaded());
    Check(window.unloads == operations + terminalsAlone);
    int warnings = 0;
    for (const auto& m : presenter.messages)
        warnings += m.icon == MessageIcon::Warning;
    Check(ld.errorsReported == warnings);
    return 0;
}
