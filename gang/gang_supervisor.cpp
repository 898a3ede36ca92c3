#include "gang/gang_supervisor.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "gang/board_report.h"
#include "platform/signal_pipe.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr auto kExitGrace = seconds(2);  // for a process to end after its result, or after SIGTERM
// Longer than any silence of the loader (a 5 s break, 5 s for each EEPROM answer): a process that
// says nothing this long is stuck beneath it, in its adapter's driver.
constexpr auto kSilenceLimit = seconds(30);
constexpr auto kGiveUpAfterKill = seconds(1);  // one stuck in the kernel may not even die
constexpr auto kLongestSleep = milliseconds(60000);
constexpr std::size_t kReadBytes = 4096;

class Supervisor {
public:
    Supervisor(std::vector<Board>& boards, BoardEvents& events) : m_boards(boards), m_events(events) {}

    int Run(const BoardBody& body)
    {
        Launch(body);
        while (!std::all_of(m_boards.begin(), m_boards.end(), [](const Board& b) { return b.settled; })) {
            Wait(m_events.Tick());
            const auto now = GangClock::now();
            Reap();
            Enforce(now);
        }
        m_events.Tick();
        return m_stopSignal;
    }

private:
    void Launch(const BoardBody& body)
    {
        std::vector<int> theirs;
        for (Board& board : m_boards) {
            if (LaunchBoard(board, body, theirs)) {
                theirs.push_back(board.fd);
                continue;
            }
            board.started = GangClock::now();
            board.state = BoardState::Failed;
            board.settled = true;
            End(board, std::string("No process for the board: ") + std::strerror(errno));
        }
    }

    // Sleeps until a pipe or a signal has something, or the next deadline of a board or the view.
    void Wait(GangClock::duration viewWait)
    {
        std::vector<pollfd> fds = {{m_signals.ReadEnd(), POLLIN, 0}};
        std::vector<Board*> readers;
        for (Board& board : m_boards) {
            if (board.fd >= 0) {
                fds.push_back({board.fd, POLLIN, 0});
                readers.push_back(&board);
            }
        }
        const auto wait = std::min<GangClock::duration>(NextDeadline() - GangClock::now(), viewWait);
        const auto waitMs = std::clamp(std::chrono::ceil<milliseconds>(wait), milliseconds(0), kLongestSleep);
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(waitMs.count()));
        // Taken even when a handler cut the poll short: a child ended by Ctrl-C must be seen as stopped.
        for (int signal; (signal = m_signals.Take()) != 0;) {
            if (signal != SIGCHLD)
                Stop(signal);
        }
        if (ready <= 0)
            return;
        for (std::size_t i = 0; i < readers.size(); ++i) {
            if (fds[i + 1].revents != 0)
                ReadFrom(*readers[i]);
        }
    }

    GangClock::time_point NextDeadline() const
    {
        auto next = GangClock::time_point::max();
        for (const Board& b : m_boards) {
            if (b.settled)
                continue;
            next = std::min(next, b.killed ? b.killAt + kGiveUpAfterKill : b.killAt);
            if (!b.killed && !b.HasResult())
                next = std::min(next, b.lastHeard + kSilenceLimit);
        }
        return next;
    }

    void ReadFrom(Board& board)
    {
        char buffer[kReadBytes];
        const ssize_t n = ::read(board.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            ::close(board.fd);
            board.fd = -1;
            return;
        }
        board.lastHeard = GangClock::now();
        board.unread.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = board.unread.find('\n')) != std::string::npos;) {
            const std::optional<BoardReport> report = DecodeReport(board.unread.substr(0, end));
            board.unread.erase(0, end + 1);
            if (report)
                Apply(board, *report);
        }
    }

    void Apply(Board& board, const BoardReport& report)
    {
        if (board.HasResult())
            return;  // one result per board; anything after it is noise
        switch (report.kind) {
        case ReportKind::Chip: board.state = BoardState::Running; break;
        case ReportKind::Absent:
            board.state = BoardState::Absent;
            board.killAt = std::min(board.killAt, GangClock::now() + kExitGrace);
            break;
        case ReportKind::Phase: board.phase = report.text; break;
        case ReportKind::Progress: board.percent = report.percent; break;
        case ReportKind::Loaded:
        case ReportKind::Failed:
            board.state = report.kind == ReportKind::Loaded ? BoardState::Loaded : BoardState::Failed;
            board.killAt = std::min(board.killAt, GangClock::now() + kExitGrace);
            End(board, report.text);
            return;
        }
        m_events.Changed(board);
    }

    void End(Board& board, const std::string& message)
    {
        board.message = message;
        board.finished = GangClock::now();
        m_events.Finished(board);
    }

    void Reap()
    {
        for (Board& board : m_boards) {
            if (board.pid <= 0 || board.reaped || ::waitpid(board.pid, &board.exitStatus, WNOHANG) != board.pid)
                continue;
            board.reaped = true;
            // Its pipe holds all it said before it ended; with the writer gone, reading cannot block.
            while (board.fd >= 0)
                ReadFrom(board);
            Settle(board);
        }
    }

    // Kills the processes whose time is up and gives up on those that would not die.
    void Enforce(GangClock::time_point now)
    {
        for (Board& board : m_boards) {
            if (board.settled || board.reaped)
                continue;
            if (board.killed) {
                if (now >= board.killAt + kGiveUpAfterKill)
                    Settle(board);
                continue;
            }
            board.silenced = !board.HasResult() && now >= board.lastHeard + kSilenceLimit;
            if (board.silenced || now >= board.killAt) {
                ::kill(board.pid, SIGKILL);
                board.killed = true;
                board.killAt = now;
            }
        }
    }

    void Stop(int signal)
    {
        const bool again = m_stopSignal != 0;
        if (!again)
            m_stopSignal = signal;
        const auto now = GangClock::now();
        for (Board& board : m_boards) {
            if (board.settled || board.reaped || board.killed)
                continue;
            if (again) {
                board.killAt = now;  // a second signal does not wait out the grace
            } else if (board.killAt == GangClock::time_point::max()) {
                ::kill(board.pid, SIGTERM);
                board.killAt = now + kExitGrace;
            }
        }
    }

    void Settle(Board& board)
    {
        if (board.fd >= 0) {
            ::close(board.fd);
            board.fd = -1;
        }
        board.settled = true;
        if (board.HasResult() || board.state == BoardState::Absent)
            return;
        if (m_stopSignal != 0) {
            board.state = board.state == BoardState::Searching ? BoardState::Absent : BoardState::Stopped;
            End(board, "Stopped");
            return;
        }
        board.state = BoardState::Failed;
        End(board, EndWithoutResult(board));
    }

    static std::string EndWithoutResult(const Board& board)
    {
        if (board.silenced)
            return "No word from the board's process for " + std::to_string(kSilenceLimit.count()) +
                   " s; it was killed";
        if (board.reaped && WIFSIGNALED(board.exitStatus))
            return "The board's process ended by signal " + std::to_string(WTERMSIG(board.exitStatus));
        return "The board's process ended without a result";
    }

    std::vector<Board>& m_boards;
    BoardEvents& m_events;
    SignalPipe m_signals{{SIGINT, SIGTERM, SIGHUP, SIGCHLD}};  // a child's end wakes the wait too
    int m_stopSignal = 0;
};

}  // namespace

int RunGang(std::vector<Board>& boards, const BoardBody& body, BoardEvents& events)
{
    return Supervisor(boards, events).Run(body);
}
