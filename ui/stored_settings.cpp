#include "ui/stored_settings.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "loader/loader_state.h"
#include "text/trim_spaces.h"

namespace {

constexpr const char* kWindowSection = "Window";
constexpr const char* kSettingsSection = "Settings";

// Locale-independent on purpose: a Qt application runs under the user's locale, whose decimal
// separator must not change what a stored position means.
std::optional<float> ParsePosition(const std::string& stored)
{
    std::string text = TrimSpaces(stored);
    if (!text.empty() && text[0] == '+')
        text.erase(0, 1);
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The shortest plain decimal text that reads back as the same float; whole numbers get no point.
std::string PositionText(float value)
{
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return std::to_string(value);
    return std::string(buffer, ptr);
}

// A check box's value: a 16-bit integer 0, 1 or 2; anything else reads as clear.
int ParseCheckValue(const std::string& stored)
{
    const std::string text = TrimSpaces(stored);
    std::int16_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > 2)
        return 0;
    return value;
}

void LoadPosition(std::optional<float>& edge, SettingsStore& store, const std::string& app, const char* key)
{
    const std::string current = edge ? PositionText(*edge) : "";
    if (const auto stored = ParsePosition(store.GetSetting(app, kWindowSection, key, current)))
        edge = stored;
}

int LoadCheck(SettingsStore& store, const std::string& app, const char* key)
{
    return ParseCheckValue(store.GetSetting(app, kSettingsSection, key, "0"));
}

}  // namespace

void LoadStoredSettings(WindowState& state, SettingsStore& store, const std::string& app)
{
    LoadPosition(state.top, store, app, "Top");
    LoadPosition(state.left, store, app, "Left");
    state.txtPort = store.GetSetting(app, kSettingsSection, "Port", "1");
    state.txtBaud = store.GetSetting(app, kSettingsSection, "Baud", kDefaultBaud);
    state.txtFilename = store.GetSetting(app, kSettingsSection, "File", "");
    state.chkUseBreakReset = LoadCheck(store, app, "Break");
    state.chkDensePacking = LoadCheck(store, app, "Pack");
    state.chkWriteEeprom = LoadCheck(store, app, "Save");
}

void SaveStoredSettings(const WindowState& state, SettingsStore& store, const std::string& app)
{
    // A hidden window that never had a position leaves the stored one alone.
    if (!state.minimized) {
        if (state.top)
            store.SaveSetting(app, kWindowSection, "Top", PositionText(*state.top));
        if (state.left)
            store.SaveSetting(app, kWindowSection, "Left", PositionText(*state.left));
    }
    store.SaveSetting(app, kSettingsSection, "Port", state.txtPort);
    store.SaveSetting(app, kSettingsSection, "Baud", state.txtBaud);
    store.SaveSetting(app, kSettingsSection, "File", state.txtFilename);
    store.SaveSetting(app, kSettingsSection, "Break", std::to_string(state.chkUseBreakReset));
    store.SaveSetting(app, kSettingsSection, "Pack", std::to_string(state.chkDensePacking));
    store.SaveSetting(app, kSettingsSection, "Save", std::to_string(state.chkWriteEeprom));
    store.Flush(app);
}
