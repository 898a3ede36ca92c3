// What a gang run shows and records: on a terminal a live line per board at work, one result line
// per board as it finishes, its CSV line, and the summary at the end.
#pragma once

#include <memory>
#include <vector>

#include "gang/csv_report.h"
#include "gang/gang_supervisor.h"
#include "gang/live_view.h"

struct GangTally {
    int boards = 0;   // ports where a board was served (the search's empty ports are none)
    int loaded = 0;
    int stopped = 0;  // ended by a stop signal before their result
};
GangTally Tally(const std::vector<Board>& boards);

class GangConsole : public BoardEvents {
public:
    // live: the boards at work are redrawn in place on standard output, a terminal. report may be null.
    GangConsole(const std::vector<Board>& boards, bool live, CsvReport* report);

    void Changed(const Board&) override {}
    void Finished(const Board& board) override;
    GangClock::duration Tick() override;
    // Takes the live lines away and prints the summary.
    void Close(int stopSignal, bool searched);

private:
    void DrawLive(GangClock::time_point now);
    void Print(const std::string& line);

    const std::vector<Board>& m_boards;
    std::unique_ptr<LiveView> m_live;
    CsvReport* m_report;
    GangClock::time_point m_nextDraw;
};
