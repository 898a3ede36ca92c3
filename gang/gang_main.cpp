// pellik32-gang: one image into many boards at once, each port served by a process of its own
// running the loader core, so a board that fails, hangs or crashes stays alone. No Qt object
// exists here before the processes are forked; each makes its own.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gang/board_child.h"
#include "gang/board_text.h"
#include "gang/gang_console.h"
#include "gang/gang_options.h"
#include "gang/gang_usage.h"
#include "gang/image_digest.h"
#include "loader/image_file.h"
#include "platform/port_map.h"
#include "platform/qt_log.h"
#include "platform/standard_streams.h"
#include "platform/terminal_presenter.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kFirstSearchPort = 1;
constexpr int kLastSearchPort = 10;

std::vector<Board> PlanBoards(const GangOptions& o)
{
    std::vector<int> ports = o.ports;
    if (ports.empty()) {
        for (int port = kFirstSearchPort; port <= kLastSearchPort; ++port)
            ports.push_back(port);
    }
    std::vector<Board> boards;
    for (const int port : ports) {
        Board board;
        board.job = {port, o.baud, o.image, o.useBreak, o.dense, o.eeprom, o.ports.empty()};
        board.device = SerialDevice(kPortMapOwner, port).path;
        board.state = board.job.searchFirst ? BoardState::Searching : BoardState::Running;
        boards.push_back(board);
    }
    return boards;
}

// The live lines need cursor movement, and the log's lines would land in the middle of them.
bool LiveTerminal()
{
    const char* term = std::getenv("TERM");
    return ::isatty(STDOUT_FILENO) && !(term && std::strcmp(term, "dumb") == 0) && !LogIsOn();
}

int ExitStatus(const GangTally& tally, int stopSignal)
{
    if (stopSignal != 0)
        return 128 + stopSignal;
    return tally.boards > 0 && tally.loaded == tally.boards ? 0 : kExitFailed;
}

int RunUsage(const GangCommandLine& line)
{
    if (line.command == GangCommand::Help) {
        std::fputs(kGangUsage, stdout);
        return 0;
    }
    if (line.command == GangCommand::Version) {
        std::printf("pellik32-gang %s\n", PELLIK_VERSION);
        return 0;
    }
    std::fprintf(stderr, "pellik32-gang: %s\nTry 'pellik32-gang --help' for more information.\n", line.error.c_str());
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    GuardStandardStreams();
    const GangCommandLine line = ParseGangOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (line.command != GangCommand::Run)
        return RunUsage(line);
    const GangOptions& o = line.options;

    // Everything that can be wrong with the run is found before any port is touched.
    if (const std::string problem = ImageFileProblem(o.image); !problem.empty()) {
        std::fprintf(stderr, "%s\n", TerminalText(problem).c_str());
        return kExitFailed;
    }
    std::unique_ptr<CsvReport> report;
    if (!o.reportFile.empty()) {
        report = std::make_unique<CsvReport>(o.reportFile, o.image, Sha256OfImage(o.image));
        if (const std::string failure = report->Open(); !failure.empty()) {
            std::fprintf(stderr, "pellik32-gang: %s\n", failure.c_str());
            return kExitFailed;
        }
    }

    std::vector<Board> boards = PlanBoards(o);
    GangConsole console(boards, LiveTerminal(), report.get());
    const int stopSignal =
        RunGang(boards, [](const BoardJob& job, int fd) { return RunBoard(job, fd, MakePortControl); }, console);
    console.Close(stopSignal, o.ports.empty());
    return ExitStatus(Tally(boards), stopSignal);
}
