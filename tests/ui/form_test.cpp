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
            log.push_back("close");
            EXPECT_TRUE(form.Loaded());  // the port closes while the window is still loaded
        });
        form.SetOnComm([this] { ++comms; });
    }

    VirtualClock clock;
    MemorySettingsStore store;
    int serialsMade = 0;
    std::vector<std::string> log;
    int comms = 0;
    Form form{[this] {
                  ++serialsMade;
                  return std::make_unique<FakeSerial>(clock);
              },
              store, "Pellik32"};
};

TEST_F(FormTest, NothingHappensBeforeFirstUse)
{
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(serialsMade, 0);
    EXPECT_TRUE(store.reads.empty());
    form.Unload();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(FormTest, FirstUseLoadsOnceFromTheStore)
{
    store.values[{"Pellik32", "Settings", "Port"}] = "7";
    FormState& first = form.Use();
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(first.txtPort, "7");
    EXPECT_EQ(first.txtBaud, "115200");
    ASSERT_NE(first.SerialPort, nullptr);
    EXPECT_EQ(store.reads.size(), 8u);

    first.txtPort = "edited";
    FormState& again = form.Use();
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.txtPort, "edited");
    EXPECT_EQ(store.reads.size(), 8u);
    EXPECT_EQ(serialsMade, 1);
}

TEST_F(FormTest, SerialReceiveEventReachesTheOwner)
{
    auto* serial = static_cast<FakeSerial*>(form.Use().SerialPort);
    serial->SetPortOpen(true);
    serial->Feed({0x01});
    clock.RunEvents(10);
    EXPECT_EQ(comms, 1);
}

TEST_F(FormTest, UnloadClosesThePortThenStoresTheFields)
{
    FormState& state = form.Use();
    state.txtPort = "5";
    state.chkWriteEeprom = 1;
    form.Unload();
    EXPECT_EQ(log, std::vector<std::string>{"close"});
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(store.writes.size(), 6u);  // never placed: no position
    EXPECT_EQ((store.values[{"Pellik32", "Settings", "Port"}]), "5");
    EXPECT_EQ((store.values[{"Pellik32", "Settings", "Save"}]), "1");

    form.Unload();  // a second unload does nothing
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(store.writes.size(), 6u);
}

TEST_F(FormTest, ReloadStartsFromStoreAndKeepsTheChangeHook)
{
    int changes = 0;
    form.SetOnChanged([&] { ++changes; });
    FormState& state = form.Use();
    state.barProgress = 80;
    state.txtFilename = "kept.binary";
    form.Unload();
    form.Use();
    EXPECT_EQ(state.barProgress, 0);
    EXPECT_EQ(state.txtFilename, "kept.binary");
    state.Changed();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(serialsMade, 1);
}

}  // namespace
