#include "gang/gang_console.h"

#include <csignal>
#include <cstdio>

#include "gang/board_text.h"

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr auto kNeverDue = std::chrono::hours(1);

std::string SignalName(int signal)
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal " + std::to_string(signal);
    }
}

}  // namespace

GangTally Tally(const std::vector<Board>& boards)
{
    GangTally tally;
    for (const Board& board : boards) {
        tally.boards += board.IsBoard() ? 1 : 0;
        tally.loaded += board.state == BoardState::Loaded ? 1 : 0;
        tally.stopped += board.state == BoardState::Stopped ? 1 : 0;
    }
    return tally;
}

GangConsole::GangConsole(const std::vector<Board>& boards, bool live, CsvReport* report)
    : m_boards(boards), m_live(live ? std::make_unique<LiveView>(stdout) : nullptr), m_report(report)
{
}

void GangConsole::Finished(const Board& board)
{
    if (!board.HasResult())
        return;  // stopped, or not a board after all: no result to give
    Print(ResultLine(board));
    if (m_report)
        m_report->Append(board);
}

GangClock::duration GangConsole::Tick()
{
    if (!m_live)
        return kNeverDue;
    const auto now = GangClock::now();
    if (now < m_nextDraw)
        return m_nextDraw - now;
    DrawLive(now);
    return kRedrawEvery;
}

void GangConsole::DrawLive(GangClock::time_point now)
{
    std::vector<std::string> lines;
    for (const Board& board : m_boards) {
        if (!board.settled && (board.state == BoardState::Searching || board.state == BoardState::Running))
            lines.push_back(LiveLine(board, now));
    }
    m_live->Draw(lines);
    m_nextDraw = now + kRedrawEvery;
}

void GangConsole::Close(int stopSignal, bool searched)
{
    if (m_live)
        m_live->Erase();
    const GangTally tally = Tally(m_boards);
    if (stopSignal != 0 && tally.stopped > 0)
        std::fprintf(stderr, "pellik32-gang: stopped by %s; %d board%s did not finish\n", SignalName(stopSignal).c_str(),
                     tally.stopped, tally.stopped == 1 ? "" : "s");
    else if (stopSignal != 0)
        std::fprintf(stderr, "pellik32-gang: stopped by %s\n", SignalName(stopSignal).c_str());
    if (tally.boards == 0 && searched && stopSignal == 0)
        Print("No Propeller Chips found");
    else
        Print(SummaryLine(tally.loaded, tally.boards));
}

// A result goes out whole at once, so a log or a script reading the output sees it as it happens.
void GangConsole::Print(const std::string& line)
{
    if (m_live) {
        m_live->PrintAbove(line);
        DrawLive(GangClock::now());
        return;
    }
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}
