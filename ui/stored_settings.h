// The window's stored settings: position and the six input controls, read on load and written
// on unload under sections "Window" and "Settings".
#pragma once

#include <string>

#include "platform/settings_store.h"
#include "ui/window_state.h"

void LoadStoredSettings(WindowState& state, SettingsStore& store, const std::string& app);
// Writes the store, all values in one go; the caller closes the port first.
void SaveStoredSettings(const WindowState& state, SettingsStore& store, const std::string& app);
