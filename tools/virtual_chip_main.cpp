// virtual_chip: answers on a pseudo-terminal as the Propeller's ROM boot loader does, with faults
// to order, runs a loaded program if asked, and logs what it received as JSON lines. Stops on
// SIGTERM or SIGINT.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "tools/chip_arguments.h"
#include "tools/pseudo_terminal.h"
#include "tools/rom_chip.h"

namespace {

// After the checksum answer of an EEPROM download, the line dies only once the client has
// surely read that answer: closing a pseudo-terminal drops what the client has not read yet.
constexpr std::int64_t kEepromUnplugGraceMs = 30;
constexpr std::size_t kReadChunkBytes = 4096;

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char wake = 0;
    [[maybe_unused]] const ssize_t ignored = write(g_signalPipe[1], &wake, 1);
}

bool InstallSignalHandlers()
{
    if (pipe(g_signalPipe) != 0)
        return false;
    fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    signal(SIGPIPE, SIG_IGN);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class ChipServer {
public:
    ChipServer(const ChipArguments& args, PseudoTerminal& line, std::FILE* log)
        : m_args(args), m_line(line), m_log(log), m_chip(args.chip), m_program(args.program) {}

    // Serves until a signal or an ordered unplug; returns the exit status.
    int Run();

private:
    void TakeBytes(const std::uint8_t* bytes, std::size_t count);
    bool TakenByProgram(std::uint8_t byte, std::int64_t nowMs);
    void StartProgramAfterLoad(std::int64_t nowMs);
    void ScheduleFaults(std::int64_t nowMs);
    int PollTimeoutMs() const;
    void WritePending();
    void NoteEepromWait(std::int64_t nowMs);
    void Log(const ChipEvent& event);
    void LogEvents();

    const ChipArguments& m_args;
    PseudoTerminal& m_line;
    std::FILE* m_log;
    RomChip m_chip;
    std::vector<std::uint8_t> m_pending;  // answers the pseudo-terminal has not taken yet
    std::int64_t m_received = 0;
    std::int64_t m_unplugAtMs = -1;  // once set, nothing more reaches the chip
    bool m_stoppedReading = false;   // the pseudo-terminal keeps what the host writes, unread
    std::size_t m_eepromWaitSession = 0;  // the last session (counted from 1) whose EEPROM wait was logged
    LoadedProgram m_program;
    std::size_t m_programSession = 0;     // the last session whose image the program came from
    std::int64_t m_lastByteMs = -1;
};

// A session whose image the chip took and, for the EEPROM, also wrote and verified.
bool Loaded(const ChipSession& session)
{
    const bool eeprom = session.command && *session.command >= 2;
    return session.command && *session.command > 0 && session.checksumOk.value_or(false) &&
           (!eeprom || session.eepromVerifyOk.value_or(false));
}

bool Reached(FaultPhase fault, ChipPhase phase)
{
    switch (fault) {
    case FaultPhase::Never:
        return false;
    case FaultPhase::Handshake:
        return phase == ChipPhase::Handshake || phase == ChipPhase::HandshakePolls;
    case FaultPhase::Image:
        return phase == ChipPhase::Image || phase == ChipPhase::ChecksumAck;
    case FaultPhase::Eeprom:
        return phase == ChipPhase::EepromWriteAck;
    }
    return false;
}

int ChipServer::Run()
{
    Log({"listening", NowMs(), {{"link", m_args.link}, {"device", m_line.DeviceName()}}});
    std::printf("ready\n");
    std::fflush(stdout);
    if (m_program.Wanted() && m_args.program.atStart) {
        Log({"program_start", NowMs(), {}});
        const auto greeting = m_program.Start(NowMs());
        m_pending.insert(m_pending.end(), greeting.begin(), greeting.end());
    }
    std::uint8_t buffer[kReadChunkBytes];
    while (m_unplugAtMs < 0 || NowMs() < m_unplugAtMs) {
        const short wanted = short((m_stoppedReading ? 0 : POLLIN) | (m_pending.empty() ? 0 : POLLOUT));
        pollfd fds[2] = {{m_line.MasterFd(), wanted, 0},
                         {g_signalPipe[0], POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs()) < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "virtual_chip: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (fds[1].revents)
            return 0;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            // Cannot happen while the chip holds the device open; never spin on it.
            std::fprintf(stderr, "virtual_chip: the pseudo-terminal failed\n");
            return 1;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t count = read(m_line.MasterFd(), buffer, sizeof buffer);
            if (count < 0 && errno != EAGAIN && errno != EINTR) {
                std::fprintf(stderr, "virtual_chip: read: %s\n", std::strerror(errno));
                return 1;
            }
            if (count > 0) {
                TakeBytes(buffer, std::size_t(count));
                NoteEepromWait(NowMs());
            }
        }
        const auto lines = m_program.Tick(NowMs());
        m_pending.insert(m_pending.end(), lines.begin(), lines.end());
        WritePending();
    }
    Log({"unplug", NowMs(), {{"bytes", m_received}}});
    m_line.Close();
    return 0;
}

void ChipServer::TakeBytes(const std::uint8_t* bytes, std::size_t count)
{
    const std::int64_t nowMs = NowMs();
    // One byte at a time, so that an unplug happens exactly where it was ordered.
    for (std::size_t i = 0; i < count && m_unplugAtMs < 0 && !m_stoppedReading; ++i) {
        if (TakenByProgram(bytes[i], nowMs))
            continue;
        const std::size_t sessions = m_chip.Sessions().size();
        const std::vector<std::uint8_t> answers = m_chip.Receive({bytes[i]}, nowMs);
        ++m_received;
        if (m_chip.Sessions().size() != sessions)
            m_line.DiscardUnread();
        m_pending.insert(m_pending.end(), answers.begin(), answers.end());
        LogEvents();
        ScheduleFaults(nowMs);
        StartProgramAfterLoad(nowMs);
    }
}

// A running program takes every byte but a calibration after a quiet spell, which is a host
// starting over after a reset the pseudo-terminal cannot show: then the boot loader is back.
bool ChipServer::TakenByProgram(std::uint8_t byte, std::int64_t nowMs)
{
    const bool quiet = m_lastByteMs < 0 || nowMs - m_lastByteMs >= RomChip::kQuietMs;
    m_lastByteMs = nowMs;
    if (!m_program.Running())
        return false;
    if (byte == RomChip::kCalibration && quiet) {
        // A reset: what the program had not printed yet is gone, as on a real chip.
        m_program.Stop();
        m_pending.clear();
        Log({"program_stop", nowMs, {}});
        return false;
    }
    ++m_received;
    const auto echo = m_program.Echo({byte});
    m_pending.insert(m_pending.end(), echo.begin(), echo.end());
    return true;
}

void ChipServer::StartProgramAfterLoad(std::int64_t nowMs)
{
    const std::size_t session = m_chip.Sessions().size();
    // Done: the last acknowledgement has been answered, and the chip runs what it loaded.
    if (!m_program.Wanted() || m_program.Running() || m_programSession == session || session == 0 ||
        m_chip.Phase() != ChipPhase::Done || !Loaded(m_chip.Sessions().back()))
        return;
    m_programSession = session;
    Log({"program_start", nowMs, {}});
    const auto greeting = m_program.Start(nowMs);
    m_pending.insert(m_pending.end(), greeting.begin(), greeting.end());
}

void ChipServer::ScheduleFaults(std::int64_t nowMs)
{
    if (m_args.unplugAfterBytes >= 0 && m_received >= m_args.unplugAfterBytes)
        m_unplugAtMs = nowMs;
    const ChipPhase phase = m_chip.Phase();
    if (Reached(m_args.unplugAt, phase))
        m_unplugAtMs = nowMs + (m_args.unplugAt == FaultPhase::Eeprom ? kEepromUnplugGraceMs : 0);
    if (Reached(m_args.stopReadingAt, phase) && !m_stoppedReading) {
        m_stoppedReading = true;
        Log({"stop_reading", nowMs, {{"bytes", m_received}}});
    }
}

int ChipServer::PollTimeoutMs() const
{
    std::int64_t wakeAt = m_unplugAtMs;
    if (const std::int64_t line = m_program.NextLineMs(); line >= 0)
        wakeAt = wakeAt < 0 ? line : std::min(wakeAt, line);
    if (wakeAt < 0)
        return -1;
    return int(std::max<std::int64_t>(0, wakeAt - NowMs()));
}

void ChipServer::WritePending()
{
    if (m_pending.empty())
        return;
    const ssize_t count = write(m_line.MasterFd(), m_pending.data(), m_pending.size());
    if (count > 0)
        m_pending.erase(m_pending.begin(), m_pending.begin() + count);
}

// Logs "eeprom_wait" once the host has read the checksum answer of an EEPROM download and polls
// on: from then on it waits for the write, so whoever watches the log knows where the host is.
void ChipServer::NoteEepromWait(std::int64_t nowMs)
{
    const std::size_t session = m_chip.Sessions().size();
    if (m_chip.Phase() != ChipPhase::EepromWriteAck || m_eepromWaitSession == session || !m_pending.empty() ||
        m_line.UnreadByClient() > 0)
        return;
    m_eepromWaitSession = session;
    Log({"eeprom_wait", nowMs, {}});
}

void ChipServer::Log(const ChipEvent& event)
{
    if (!m_log)
        return;
    std::fprintf(m_log, "%s\n", EventJson(event).c_str());
    std::fflush(m_log);
}

void ChipServer::LogEvents()
{
    for (const ChipEvent& event : m_chip.TakeEvents())
        Log(event);
}

}  // namespace

int main(int argc, char** argv)
{
    ChipArguments args;
    std::string error;
    if (!ParseChipArguments(argc, argv, args, &error)) {
        std::fprintf(stderr, "virtual_chip: %s\n%s", error.c_str(), kChipUsage);
        return 2;
    }
    if (args.help) {
        std::fputs(kChipUsage, stdout);
        return 0;
    }
    std::FILE* log = nullptr;
    if (!args.logFile.empty() && !(log = std::fopen(args.logFile.c_str(), "a"))) {
        std::fprintf(stderr, "virtual_chip: cannot open %s: %s\n", args.logFile.c_str(), std::strerror(errno));
        return 1;
    }
    if (!InstallSignalHandlers()) {
        std::fprintf(stderr, "virtual_chip: cannot install signal handlers\n");
        return 1;
    }
    PseudoTerminal line;
    if (!line.Open(args.link, &error)) {
        std::fprintf(stderr, "virtual_chip: %s\n", error.c_str());
        return 1;
    }
    const int status = ChipServer(args, line, log).Run();
    line.Close();
    if (log)
        std::fclose(log);
    return status;
}
