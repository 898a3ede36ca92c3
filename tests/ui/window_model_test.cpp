#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "tests/support/fake_serial.h"
#include "tests/support/memory_settings_store.h"
#include "ui/window_model.h"

namespace {

class WindowModelTest : public ::testing::Test {
protected:
    WindowModelTest()
    {
        model.SetClosePort([this] {
            ++closes;
            EXPECT_TRUE(model.Loaded());  // the port closes while the window is still loaded
        });
        model.SetOnComm([this] { ++comms; });
    }
    std::string& Stored(const char* key) { return store.values[{"Pellik32", "Settings", key}]; }

    VirtualClock clock;
    MemorySettingsStore store;
    int serialsMade = 0;
    int closes = 0;
    int comms = 0;
    WindowModel model{[this] {
                          ++serialsMade;
                          return std::make_unique<FakeSerial>(clock);
                      },
                      store, "Pellik32"};
};

TEST_F(WindowModelTest, FirstUseLoadsOnceFromTheStoreAndNothingHappensBefore)
{
    model.Unload();
    EXPECT_FALSE(model.Loaded());
    EXPECT_EQ(serialsMade + closes, 0);
    EXPECT_TRUE(store.reads.empty() && store.writes.empty());

    Stored("Port") = "7";
    WindowState& first = model.Load();
    EXPECT_TRUE(model.Loaded());
    EXPECT_EQ(first.txtPort, "7");
    EXPECT_EQ(first.txtBaud, "115200");
    ASSERT_NE(first.SerialPort, nullptr);
    EXPECT_EQ(store.reads.size(), 8u);
    first.txtPort = "edited";
    EXPECT_EQ(&model.Load(), &first);
    EXPECT_EQ(first.txtPort, "edited");
    EXPECT_EQ(store.reads.size(), 8u);

    auto* serial = static_cast<FakeSerial*>(first.SerialPort);
    serial->SetPortOpen(true);
    serial->Feed({0x01});
    clock.RunEvents(std::chrono::milliseconds(10));
    EXPECT_EQ(comms, 1);  // the receive event reaches the owner
}

TEST_F(WindowModelTest, UnloadClosesThePortThenStoresTheFieldsAndAReloadStartsAfresh)
{
    int changes = 0;
    model.SetOnChanged([&] { ++changes; });
    WindowState& state = model.Load();
    state.txtPort = "5";
    state.chkWriteEeprom = 1;
    state.barProgress = 80;
    model.Unload();
    model.Unload();  // a second unload does nothing
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(model.Loaded());
    EXPECT_EQ(store.writes.size(), 6u);  // never placed: no position
    EXPECT_EQ(Stored("Port"), "5");
    EXPECT_EQ(Stored("Save"), "1");

    model.Load();
    EXPECT_EQ(state.barProgress, 0);
    EXPECT_EQ(state.txtPort, "5");
    state.Changed();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(serialsMade, 1);
}

// What the operations write goes through these: each loads the window first, and only a write
// that changes something tells the widget.
TEST_F(WindowModelTest, EachWriteOfTheLoaderLoadsTheWindowAndTellsOnlyRealChanges)
{
    using Write = std::function<void(WindowModel&)>;
    const std::tuple<const char*, Write, Write, std::function<bool(const WindowState&)>> cases[] = {
        {"port", [](WindowModel& m) { m.SetPortText("1"); }, [](WindowModel& m) { m.SetPortText("4"); },
         [](const WindowState& s) { return s.txtPort == "4"; }},
        {"baud", [](WindowModel& m) { m.SetBaudText("115200"); }, [](WindowModel& m) { m.SetBaudText("9600"); },
         [](const WindowState& s) { return s.txtBaud == "9600"; }},
        {"close port", [](WindowModel& m) { m.SetClosePortEnabled(false); },
         [](WindowModel& m) { m.SetClosePortEnabled(true); }, [](const WindowState& s) { return s.btnClosePortEnabled; }},
        {"bar", [](WindowModel& m) { m.SetProgress(0); }, [](WindowModel& m) { m.SetProgress(57); },
         [](const WindowState& s) { return s.barProgress == 57; }},
    };
    for (const auto& [what, same, other, shows] : cases) {
        model.Unload();
        const std::size_t readsBefore = store.reads.size();
        int changes = 0;
        model.SetOnChanged([&] { ++changes; });
        same(model);  // the value a fresh load already holds
        EXPECT_TRUE(model.Loaded()) << what;
        EXPECT_EQ(store.reads.size(), readsBefore + 8) << what;
        EXPECT_EQ(changes, 0) << what;
        other(model);
        EXPECT_TRUE(shows(model.State())) << what;
        EXPECT_EQ(changes, 1) << what;
    }
    EXPECT_EQ(&model.SerialPort(), model.State().SerialPort);
    EXPECT_EQ(serialsMade, 1);
}

}  // namespace
