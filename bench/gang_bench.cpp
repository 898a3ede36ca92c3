// Times the gang as it runs: one forked process per board running the board runner, here against
// a modelled UART with an in-process ROM chip, a 32 KB EEPROM download at 115200 baud on 1, 4, 8
// and 16 boards at once. The boards' processor time comes from their rusage.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

#include "bench/cpu_time.h"
#include "bench/uart_model.h"
#include "gang/board_child.h"
#include "gang/gang_supervisor.h"
#include "tools/rom_chip.h"
#include "tools/sample_image.h"

namespace {

constexpr std::size_t kImageBytes = 32768;
constexpr int kBoardCounts[] = {1, 4, 8, 16};

// Every port leads to a modelled adapter with a chip of its own.
std::unique_ptr<SerialControl> ModelledPort()
{
    std::set<int> ports;
    for (int port = 1; port <= kBoardCounts[std::size(kBoardCounts) - 1]; ++port)
        ports.insert(port);
    auto chip = std::make_shared<RomChip>(RomChipOptions{});
    return std::make_unique<UartModel>(
        [chip](const std::vector<std::uint8_t>& bytes, std::int64_t atMs) { return chip->Receive(bytes, atMs); },
        ports);
}

class QuietEvents : public BoardEvents {
public:
    void Changed(const Board&) override {}
    void Finished(const Board& board) override { loaded += board.state == BoardState::Loaded ? 1 : 0; }
    GangClock::duration Tick() override { return std::chrono::hours(1); }
    int loaded = 0;
};

std::string WriteImage()
{
    char path[] = "/tmp/pellik-gang-bench-XXXXXX";
    const int fd = mkstemp(path);
    const std::vector<std::uint8_t> bytes = MakeSampleImage(kImageBytes);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror("image");
        std::exit(1);
    }
    close(fd);
    return path;
}

}  // namespace

int main()
{
    const std::string image = WriteImage();
    std::printf("32 KB EEPROM download, standard packing, 115200 baud, one process per board\n");
    std::printf("%6s %9s %10s %14s %10s  %s\n", "boards", "wall", "ratio", "cpu per board", "gang cpu", "loaded");
    double oneBoardS = 0;
    for (const int count : kBoardCounts) {
        std::vector<Board> boards(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            boards[static_cast<std::size_t>(i)].job = {i + 1, "115200", image, false, false, true, false};
        QuietEvents events;
        const double childrenStart = CpuSeconds(RUSAGE_CHILDREN);
        const double selfStart = CpuSeconds(RUSAGE_SELF);
        const auto start = GangClock::now();
        RunGang(boards, [](const BoardJob& job, int fd) { return RunBoard(job, fd, ModelledPort); }, events);
        const double wallS = std::chrono::duration<double>(GangClock::now() - start).count();
        const double childrenS = CpuSeconds(RUSAGE_CHILDREN) - childrenStart;
        const double selfS = CpuSeconds(RUSAGE_SELF) - selfStart;
        if (count == 1)
            oneBoardS = wallS;
        std::printf("%6d %7.3f s %10.3f %12.2f %% %8.2f %%  %d of %d\n", count, wallS, wallS / oneBoardS,
                    100.0 * childrenS / count / wallS, 100.0 * selfS / wallS, events.loaded, count);
    }
    std::remove(image.c_str());
    return 0;
}
