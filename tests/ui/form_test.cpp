#include <gtest/gtest.h>

#include "tests/support/fake_serial.h"
#include "tests/support/memory_settings_store.h"
#include "ui/form.h"

namespace {

class FormTest : public ::testing::Test {
protected:
    FormTest()
    {
        form.SetClosePort([this] {
            ++closes;
            EXPECT_TRUE(form.Loaded());  // the port closes while the window is still loaded
        });
        form.SetOnComm([this] { ++comms; });
    }
    std::string& Stored(const char* key) { return store.values[{"Pellik32", "Settings", key}]; }

    VirtualClock clock;
    MemorySettingsStore store;
    int serialsMade = 0;
    int closes = 0;
    int comms = 0;
    Form form{[this] {
                  ++serialsMade;
                  return std::make_unique<FakeSerial>(clock);
              },
              store, "Pellik32"};
};

TEST_F(FormTest, FirstUseLoadsOnceFromTheStoreAndNothingHappensBefore)
{
    form.Unload();
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(serialsMade + closes, 0);
    EXPECT_TRUE(store.reads.empty() && store.writes.empty());

    Stored("Port") = "7";
    FormState& first = form.Use();
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(first.txtPort, "7");
    EXPECT_EQ(first.txtBaud, "115200");
    ASSERT_NE(first.SerialPort, nullptr);
    EXPECT_EQ(store.reads.size(), 8u);
    first.txtPort = "edited";
    EXPECT_EQ(&form.Use(), &first);
    EXPECT_EQ(first.txtPort, "edited");
    EXPECT_EQ(store.reads.size(), 8u);

    auto* serial = static_cast<FakeSerial*>(first.SerialPort);
    serial->SetPortOpen(true);
    serial->Feed({0x01});
    clock.RunEvents(std::chrono::milliseconds(10));
    EXPECT_EQ(comms, 1);  // the receive event reaches the owner
}

TEST_F(FormTest, UnloadClosesThePortThenStoresTheFieldsAndAReloadStartsAfresh)
{
    int changes = 0;
    form.SetOnChanged([&] { ++changes; });
    FormState& state = form.Use();
    state.txtPort = "5";
    state.chkWriteEeprom = 1;
    state.barProgress = 80;
    form.Unload();
    form.Unload();  // a second unload does nothing
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(store.writes.size(), 6u);  // never placed: no position
    EXPECT_EQ(Stored("Port"), "5");
    EXPECT_EQ(Stored("Save"), "1");

    form.Use();
    EXPECT_EQ(state.barProgress, 0);
    EXPECT_EQ(state.txtPort, "5");
    state.Changed();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(serialsMade, 1);
}

}  // namespace
