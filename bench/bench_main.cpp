// Times the real loader code against a UART that drains in real time and an in-process ROM chip:
// 32 KB downloads in both packings, the handshake alone and a search over ten absent ports.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <fstream>

#include "bench/cpu_time.h"
#include "bench/uart_model.h"
#include "loader/boot_handshake.h"
#include "loader/operations.h"
#include "loader/reports.h"
#include "loader/serial_link.h"
#include "platform/qt_event_clock.h"
#include "tools/rom_chip.h"
#include "tools/sample_image.h"

namespace {

constexpr double kBaud = 115200;
constexpr double kResetMs = 115;  // the DTR pulse and the wait after it: protocol, not wire

// A window that is always loaded and shows nothing: the benchmark times the link alone.
class BenchWindow : public MainWindow {
public:
    explicit BenchWindow(SerialControl& port) : m_port(port) {}
    SerialControl& SerialPort() override { return m_port; }
    void SetPortText(const std::string&) override {}
    void SetBaudText(const std::string&) override {}
    void SetClosePortEnabled(bool) override {}
    void SetProgress(int) override {}
    void Unload() override {}

private:
    SerialControl& m_port;
};

class LastMessage : public Presenter {
public:
    void ShowMessage(MessageIcon, const std::string&, const std::string& message) override { text = message; }
    std::string text;
};

struct Rig {
    explicit Rig(std::set<int> ports)
        : chip(RomChipOptions{}),
          uart([this](const std::vector<std::uint8_t>& bytes, std::int64_t at) {
              characters += bytes.size();
              return chip.Receive(bytes, at);
          }, std::move(ports)),
          window(uart),
          ld(clock, presenter, window)
    {
        uart.OnComm = [this] { SerialPort_OnComm(ld); };
        ld.state.PortNumber = 1;
        ld.state.BaudText = "115200";
        ld.state.ZeroPattern = "001";
        ld.state.OnePattern = "011";
        ld.state.BootCommand = 1;
    }
    RomChip chip;
    UartModel uart;
    BenchWindow window;
    QtEventClock clock;
    LastMessage presenter;
    Loader ld;
    std::size_t characters = 0;
};

void Measure(const char* name, Rig& rig, void (*operation)(Loader&), bool resetCounts)
{
    rig.characters = 0;
    QElapsedTimer wall;
    const double cpuStart = CpuSeconds();
    wall.start();
    operation(rig.ld);
    const double wallS = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double cpuS = CpuSeconds() - cpuStart;
    const double wireS = static_cast<double>(rig.characters) * 10.0 / kBaud + (resetCounts ? kResetMs / 1000 : 0);
    const std::string result = rig.presenter.text.substr(0, rig.presenter.text.find('\r'));
    std::printf("%-20s %7zu %9.4f s %9.4f s %6.3f %8.3f s %6.1f %%  %s\n", name, rig.characters, wireS, wallS,
                wireS > 0 ? wallS / wireS : 0.0, cpuS, wallS > 0 ? 100.0 * cpuS / wallS : 0.0, result.c_str());
}

void Connect(Loader& ld)
{
    ConnectChip(ld, ld.state.PortNumber, ld.state.BaudText);
    ReportInfo(ld, ld.state.LinkStatus == 1 ? "handshake passed" : "handshake failed");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string image = "/tmp/pellik-bench-32k.binary";
    const std::vector<std::uint8_t> bytes = MakeSampleImage(32768);
    std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));

    std::printf("115200 baud; wire = every character at 10 bits plus the 115 ms reset\n");
    std::printf("%-20s %7s %11s %11s %6s %10s %8s  %s\n", "run", "chars", "wire", "wall", "ratio", "cpu", "cpu/wall",
                "result");
    struct Download {
        const char* name;
        const char* onePattern;
        std::int32_t command;
    } downloads[] = {
        {"RAM, standard", "011", 1},
        {"RAM, dense", "01", 1},
        {"EEPROM, standard", "011", 3},
        {"EEPROM, dense", "01", 3},
    };
    for (const auto& d : downloads) {
        Rig rig({1});
        rig.ld.state.ImageFile = image;
        rig.ld.state.OnePattern = d.onePattern;
        rig.ld.state.BootCommand = d.command;
        Measure(d.name, rig, DownloadImage, true);
    }
    {
        Rig rig({1});
        Measure("handshake", rig, Connect, true);
    }
    {
        Rig rig({});
        Measure("search, 10 absent", rig, FindChips, false);
    }
    std::remove(image.c_str());
    return 0;
}
