#include <gtest/gtest.h>

#include "tests/support/memory_settings_store.h"
#include "ui/stored_settings.h"

namespace {

const std::string kApp = "Pellik32";
const std::vector<std::string> kKeysInOrder = {"Window/Top",    "Window/Left",    "Settings/Port",
                                               "Settings/Baud", "Settings/File",  "Settings/Break",
                                               "Settings/Pack", "Settings/Save"};

class StoredSettingsTest : public ::testing::Test {
protected:
    std::string& Stored(const std::string& section, const std::string& key)
    {
        return store.values[{kApp, section, key}];
    }
    void StorePosition(const std::string& text) { Stored("Window", "Top") = Stored("Window", "Left") = text; }

    MemorySettingsStore store;
    WindowState state;
};

TEST_F(StoredSettingsTest, EmptyStoreGivesDefaultsAndAShownWindowWritesAllEightKeysInOrder)
{
    state.top = 1200;
    state.left = 2400;
    LoadStoredSettings(state, store, kApp);
    EXPECT_EQ(store.reads, kKeysInOrder);
    EXPECT_EQ(state.txtPort, "1");
    EXPECT_EQ(state.txtBaud, "115200");
    EXPECT_EQ(state.txtFilename, "");
    EXPECT_EQ(state.chkUseBreakReset + state.chkDensePacking + state.chkWriteEeprom, 0);
    SaveStoredSettings(state, store, kApp);
    EXPECT_EQ(store.writes, kKeysInOrder);
    EXPECT_EQ(store.flushes, std::vector<std::size_t>{8}) << "one flush, after all eight";
}

TEST_F(StoredSettingsTest, MinimizedOrNeverPlacedWindowLeavesThePositionAlone)
{
    StorePosition("300");
    WindowState minimized;
    minimized.top = minimized.left = 9000;
    minimized.minimized = true;
    WindowState neverPlaced;  // a hidden command-line window
    for (const WindowState* f : {&minimized, &neverPlaced}) {
        store.writes.clear();
        SaveStoredSettings(*f, store, kApp);
        EXPECT_EQ(store.writes.size(), 6u);
        EXPECT_EQ(Stored("Window", "Top"), "300");
        EXPECT_EQ(Stored("Window", "Left"), "300");
    }
}

TEST_F(StoredSettingsTest, CheckBoxValuesOutsideZeroToTwoReadAsClear)
{
    const std::pair<std::string, int> cases[] = {
        {"0", 0}, {"1", 1}, {"2", 2}, {" 1 ", 1}, {"3", 0}, {"-1", 0}, {"", 0},
        {"x", 0}, {"1x", 0}, {"1.5", 0}, {"65537", 0}, {"99999999999", 0},
    };
    for (const auto& [text, expected] : cases) {
        Stored("Settings", "Break") = Stored("Settings", "Pack") = Stored("Settings", "Save") = text;
        LoadStoredSettings(state, store, kApp);
        EXPECT_EQ(state.chkUseBreakReset, expected) << '"' << text << '"';
        EXPECT_EQ(state.chkDensePacking, expected) << '"' << text << '"';
        EXPECT_EQ(state.chkWriteEeprom, expected) << '"' << text << '"';
    }
}

TEST_F(StoredSettingsTest, PositionThatIsNotANumberKeepsTheCurrentOne)
{
    for (const std::string text : {"", "abc", "12abc", "1,5", "inf", "nan", "1e99"}) {
        state.top = 100;
        state.left.reset();
        StorePosition(text);
        LoadStoredSettings(state, store, kApp);
        EXPECT_EQ(state.top, 100.0f) << '"' << text << '"';
        EXPECT_FALSE(state.left.has_value()) << '"' << text << '"';
    }
}

TEST_F(StoredSettingsTest, PositionReadsAndWritesBackExactly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1234.5", "1234.5"}, {"4320", "4320"}, {"-600", "-600"}, {" 75 ", "75"},
        {"0.1", "0.1"},       {"1e3", "1000"},  {"16777217", "16777216"},
    };
    for (const auto& [storedText, writtenText] : cases) {
        StorePosition(storedText);
        LoadStoredSettings(state, store, kApp);
        SaveStoredSettings(state, store, kApp);
        EXPECT_EQ(Stored("Window", "Top"), writtenText) << storedText;
        EXPECT_EQ(Stored("Window", "Left"), writtenText) << storedText;
        // The written text reads back as the very same number.
        const float first = *state.top;
        LoadStoredSettings(state, store, kApp);
        EXPECT_EQ(*state.top, first) << storedText;
    }
}

}  // namespace
