// The per-user settings store, addressed by application, section and key.
#pragma once

#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    virtual void SaveSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Writes what SaveSetting gave for app since the last flush, all in one go.
    virtual void Flush(const std::string& app) = 0;
};
