// The per-user settings store on QSettings: $XDG_CONFIG_HOME/<app>/<app>.conf in INI syntax,
// values kept as text. Also where a port number finds its device path.
#pragma once

#include <string>

#include "platform/settings_store.h"

class QtSettingsStore : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

// The device of COM port N: "Ports"/"COM"+N when the user set one, else /dev/ttyUSB(N-1);
// "" for N below 1, which no open can succeed on.
std::string SerialDevicePath(SettingsStore& store, const std::string& app, int port);
