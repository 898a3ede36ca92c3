// Window mode for real: the program started without arguments on a virtual X server shows its
// window with the fixed client size, and beside a Wayland compositor it still runs on X, where it
// keeps its stored place; the window itself, natively on Wayland, leaves that place alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt_file_dialog.h"
#include "tests/e2e/display_servers.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_serial.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/recording_presenter.h"
#include "ui/widget/frm_pellik.h"
#include "ui/window_model.h"

namespace {

const char* const kCaption = "Ulvane Propeller Downloader - KR6 32-Bit";
constexpr int kWindowWaitMs = 60000;  // only a guard against a hang: the wait ends on the window's map

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Runs the program in window mode with the given display variables and waits for its X window.
class WindowSmoke : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Env("PELLIK32_BIN").empty())
            GTEST_SKIP() << "needs PELLIK32_BIN";
        if (FindOnPath("Xvfb").empty())
            GTEST_SKIP() << "needs Xvfb";
        m_folder = MakeTempFolder();
    }
    void TearDown() override { StopChild(m_program); }

    std::optional<ShownWindow> Start(WindowWatcher& watcher, const std::vector<std::string>& displayEnv)
    {
        std::vector<std::string> env = {"PATH=" + Env("PATH"), "HOME=" + m_folder,
                                        "XDG_CONFIG_HOME=" + m_folder + "/config"};
        env.insert(env.end(), displayEnv.begin(), displayEnv.end());
        m_program = Spawn({Env("PELLIK32_BIN")}, env, m_folder + "/pellik.log");
        return watcher.WaitForWindow(kCaption, m_program, kWindowWaitMs);
    }
    std::string Log() const { return ReadTextFile(m_folder + "/pellik.log"); }
    std::string SettingsFile() const { return m_folder + "/config/Pellik32/Pellik32.conf"; }

    std::string m_folder;
    pid_t m_program = -1;
};

// A kill closes the window as its close button does: its fields and place are stored.
TEST_F(WindowSmoke, ShowsTheWindowWithItsFixedClientSizeAndClosesOnATermSignal)
{
    VirtualDisplay display(m_folder);
    ASSERT_FALSE(display.name().empty()) << ReadTextFile(m_folder + "/xvfb.log");
    WindowWatcher watcher(display.name());
    ASSERT_TRUE(watcher.connected());

    const auto window = Start(watcher, {"DISPLAY=" + display.name(), "QT_QPA_PLATFORM=xcb",
                                        "XDG_RUNTIME_DIR=" + m_folder});
    ASSERT_TRUE(window) << "no window: " << Log();
    EXPECT_EQ(window->width, 486);
    EXPECT_EQ(window->height, 125);

    ::kill(m_program, SIGTERM);
    EXPECT_EQ(WaitForExit(m_program, kWindowWaitMs), 0) << Log();
    m_program = -1;
    const std::string stored = ReadTextFile(SettingsFile());
    EXPECT_NE(stored.find("Port=1\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Top="), std::string::npos) << stored;
}

// Wayland lets no program place its window, so with both displays the window runs on X, at the
// stored position, and closing it keeps that position.
TEST_F(WindowSmoke, BesideWaylandItRunsOnXAtItsStoredPlace)
{
    if (FindOnPath("weston").empty())
        GTEST_SKIP() << "needs weston";
    VirtualDisplay display(m_folder);
    ASSERT_FALSE(display.name().empty()) << ReadTextFile(m_folder + "/xvfb.log");
    const std::string runtimeDir = m_folder + "/run";
    HeadlessCompositor wayland(runtimeDir);
    ASSERT_TRUE(wayland.ready()) << ReadTextFile(runtimeDir + "/weston.log");
    mkdir((m_folder + "/config").c_str(), 0755);
    mkdir((m_folder + "/config/Pellik32").c_str(), 0755);
    WriteTextFile(SettingsFile(), "[Window]\nTop=3000\nLeft=4500\n");
    WindowWatcher watcher(display.name());
    ASSERT_TRUE(watcher.connected());

    const auto window = Start(watcher, {"DISPLAY=" + display.name(), "XDG_RUNTIME_DIR=" + runtimeDir,
                                        std::string("WAYLAND_DISPLAY=") + HeadlessCompositor::kSocket});
    ASSERT_TRUE(window) << "no X window: " << Log();
    EXPECT_EQ(window->x, 4500 / 15);
    EXPECT_EQ(window->y, 3000 / 15);

    watcher.Close(window->id);
    EXPECT_EQ(WaitForExit(m_program, kWindowWaitMs), 0) << Log();
    m_program = -1;
    const std::string stored = ReadTextFile(SettingsFile());
    EXPECT_NE(stored.find("Top=3000\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Left=4500\n"), std::string::npos) << stored;
}

// Shows frmPellik natively on the compositor and closes it; 0 when the store kept its place.
// Runs in a child process: it owns the only Qt application there.
int ShowAndCloseNativelyOnWayland(const std::string& runtimeDir)
{
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    ::setenv("WAYLAND_DISPLAY", HeadlessCompositor::kSocket, 1);
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    int argc = 1;
    char name[] = "e2e_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    MemorySettingsStore store;
    const MemorySettingsStore::Key top{"Pellik32", "Window", "Top"}, left{"Pellik32", "Window", "Left"};
    store.values = {{top, "1507.5"}, {left, "3000"}};
    VirtualClock clock;
    RecordingPresenter presenter;
    WindowModel model([&clock] { return std::unique_ptr<SerialControl>(new FakeSerial(clock)); }, store, "Pellik32");
    Loader ld(clock, presenter, model);
    QtFileDialog dialog;
    FrmPellik window(ld, model, dialog);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, kWindowWaitMs))
        return 2;
    window.close();
    std::fprintf(stderr, "stored Top=%s Left=%s\n", store.values[top].c_str(), store.values[left].c_str());
    return store.values[top] == "1507.5" && store.values[left] == "3000" ? 0 : 1;
}

// Wayland lets no program place or read its window's position: closing must not store one.
TEST_F(WindowSmoke, NativeOnWaylandItLeavesItsStoredPlaceAlone)
{
    if (FindOnPath("weston").empty())
        GTEST_SKIP() << "needs weston";
    const std::string runtimeDir = m_folder + "/run";
    HeadlessCompositor wayland(runtimeDir);
    ASSERT_TRUE(wayland.ready()) << ReadTextFile(runtimeDir + "/weston.log");
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(ShowAndCloseNativelyOnWayland(runtimeDir));
    EXPECT_EQ(WaitForExit(child, kWindowWaitMs), 0);
}

}  // namespace
