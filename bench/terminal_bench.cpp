// Times the terminal's relay: a pseudo-terminal stands for the chip's line and the real Pellik32
// relays it to a pipe. Measured: a chip printing at 115200 baud without pause (bytes lost or out
// of order, CPU, memory), the highest rate relayed with nothing lost, and the delay from a byte's
// arrival on the line to its appearance on standard output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kLineBytesPerSecond = 115200 / 10.0;  // 8-N-1: ten bit times a character
constexpr int kLatencySamples = 1000;
constexpr std::chrono::milliseconds kChunkEvery{5};

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Whatever the chip prints, each byte of the stream is known by its place: k modulo 251.
std::uint8_t PatternByte(std::uint64_t k)
{
    return static_cast<std::uint8_t>(k % 251);
}

struct Relay {
    pid_t pid = -1;
    int line = -1;  // the chip's end of the pseudo-terminal
    int out = -1;   // the program's standard output
    std::uint64_t written = 0;
    std::uint64_t read = 0;
    std::uint64_t wrong = 0;  // bytes that came out other than they went in

    // Writes up to count pattern bytes; the line may take fewer.
    void Write(std::uint64_t count)
    {
        std::vector<std::uint8_t> bytes(count);
        for (std::uint64_t i = 0; i < count; ++i)
            bytes[i] = PatternByte(written + i);
        const ssize_t n = ::write(line, bytes.data(), bytes.size());
        written += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    }
    // Reads what standard output holds, waiting at most waitMs for it.
    void ReadOutput(int waitMs)
    {
        pollfd p{out, POLLIN, 0};
        if (::poll(&p, 1, waitMs) != 1)
            return;
        std::uint8_t buffer[65536];
        const ssize_t n = ::read(out, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i)
            wrong += buffer[i] != PatternByte(read + static_cast<std::uint64_t>(i));
        read += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    }
    bool CatchUp(double seconds)
    {
        const auto start = Clock::now();
        while (read < written && Seconds(start) < seconds)
            ReadOutput(10);
        return read == written;
    }
};

// CPU seconds of a process as the scheduler counts them (in nanoseconds, where the tick-sampled
// times of /proc/<pid>/stat would miss or overcount a process that wakes for a moment hundreds of
// times a second), and its resident kilobytes.
double CpuSeconds(pid_t pid)
{
    double nanoseconds = 0;
    std::ifstream("/proc/" + std::to_string(pid) + "/schedstat") >> nanoseconds;
    return nanoseconds / 1e9;
}

long RssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Starts Pellik32 -com:1 -t on the slave of a new pseudo-terminal, through a private port map.
Relay StartRelay(const std::string& program, const std::string& folder)
{
    Relay relay;
    relay.line = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (relay.line < 0 || ::grantpt(relay.line) != 0 || ::unlockpt(relay.line) != 0)
        return relay;
    const std::string device = ::ptsname(relay.line);
    ::mkdir((folder + "/Pellik32").c_str(), 0700);
    std::ofstream(folder + "/Pellik32/ports.conf") << "[Ports]\nCOM1=" << device << "\n";
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return relay;
    relay.pid = ::fork();
    if (relay.pid == 0) {
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        const int none = ::open("/dev/null", O_RDONLY);
        ::dup2(none, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execl(program.c_str(), program.c_str(), "-com:1", "-t", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    relay.out = out[0];
    // Ready once it has said where the terminal is.
    std::string said;
    char c = 0;
    while (said.find('\n') == std::string::npos && ::read(err[0], &c, 1) == 1)
        said += c;
    std::fprintf(stderr, "%s", said.c_str());
    return relay;
}

void Sustained(Relay& relay, double seconds)
{
    const auto start = Clock::now();
    double cpuAtOne = -1;
    long rssAtOne = -1;
    std::uint64_t mostBehind = 0;
    auto nextChunk = start;
    while (Seconds(start) < seconds) {
        // A USB serial adapter hands over what came in every few milliseconds, not byte by byte.
        if (Clock::now() >= nextChunk) {
            const auto due = static_cast<std::uint64_t>(Seconds(start) * kLineBytesPerSecond);
            if (due > relay.written)
                relay.Write(due - relay.written);
            nextChunk += kChunkEvery;
        }
        const auto untilNext = std::chrono::duration_cast<std::chrono::milliseconds>(nextChunk - Clock::now());
        relay.ReadOutput(static_cast<int>(std::max<std::int64_t>(untilNext.count(), 0)));
        mostBehind = std::max(mostBehind, relay.written - relay.read);
        if (cpuAtOne < 0 && Seconds(start) >= 1) {
            cpuAtOne = CpuSeconds(relay.pid);
            rssAtOne = RssKb(relay.pid);
        }
    }
    const double cpu = CpuSeconds(relay.pid) - cpuAtOne;
    const long rss = RssKb(relay.pid);
    const bool caughtUp = relay.CatchUp(5);
    std::printf("%.0f s at 115200 baud: %llu bytes, %llu lost, %llu out of place, at most %llu behind\n", seconds,
                static_cast<unsigned long long>(relay.written),
                static_cast<unsigned long long>(caughtUp ? 0 : relay.written - relay.read),
                static_cast<unsigned long long>(relay.wrong), static_cast<unsigned long long>(mostBehind));
    std::printf("  CPU %.2f %% of one core; RSS %ld kB after 1 s, %ld kB at the end (%+ld kB)\n",
                100.0 * cpu / (seconds - 1), rssAtOne, rss, rss - rssAtOne);
}

void Fastest(Relay& relay, double seconds)
{
    const std::uint64_t before = relay.read;
    const auto start = Clock::now();
    while (Seconds(start) < seconds) {
        relay.Write(16384);
        relay.ReadOutput(0);
    }
    const bool caughtUp = relay.CatchUp(5);
    std::printf("as fast as the line takes it: %.2f MB/s for %.0f s, %s, %llu out of place\n",
                static_cast<double>(relay.read - before) / Seconds(start) / 1e6, seconds,
                caughtUp ? "nothing lost" : "bytes lost", static_cast<unsigned long long>(relay.wrong));
}

void Latency(Relay& relay)
{
    std::vector<double> delays;
    for (int i = 0; i < kLatencySamples; ++i) {
        const std::uint64_t want = relay.written + 1;
        const auto sent = Clock::now();
        relay.Write(1);
        while (relay.read < want && Seconds(sent) < 1)
            relay.ReadOutput(100);
        delays.push_back(Seconds(sent) * 1e6);
        ::usleep(2000);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("from the line to standard output: median %.0f us, 99th percentile %.0f us (%d bytes)\n",
                delays[delays.size() / 2], delays[delays.size() * 99 / 100], kLatencySamples);
}

}  // namespace

// terminal_bench [SECONDS [PROGRAM [FAST_SECONDS]]]: SECONDS of printing at 115200 (600), the
// program to run (Pellik32 beside the benchmark's folder), FAST_SECONDS at the highest rate (3).
int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600;
    std::string self = argv[0];
    const std::string program = argc > 2 && argv[2][0] ? argv[2] : self.substr(0, self.rfind('/') + 1) + "../Pellik32";
    const double fastSeconds = argc > 3 ? std::atof(argv[3]) : 3;
    char folder[] = "/tmp/pellik-terminal-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return 1;
    Relay relay = StartRelay(program, folder);
    if (relay.pid <= 0 || relay.out < 0) {
        std::fprintf(stderr, "terminal_bench: cannot start %s\n", program.c_str());
        return 1;
    }
    Sustained(relay, std::max(seconds, 2.0));
    Latency(relay);
    if (fastSeconds > 0)
        Fastest(relay, fastSeconds);
    ::kill(relay.pid, SIGTERM);
    int status = 0;
    ::waitpid(relay.pid, &status, 0);
    std::printf("ended by SIGTERM with status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    std::filesystem::remove_all(folder);
    return relay.wrong == 0 ? 0 : 1;
}
