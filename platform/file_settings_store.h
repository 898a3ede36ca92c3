// The per-user settings store: <config folder>/<app>.conf in the INI syntax QSettings writes, read
// once when the window loads and written once, atomically, when it unloads. Nothing but a
// regular file (or none yet) at that path is ever read or written.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "platform/settings_store.h"

class FileSettingsStore : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    void Flush(const std::string& app) override;

private:
    struct AppFile {
        bool read = false;
        std::vector<IniLine> lines;
        std::vector<IniWrite> saved;  // since the last flush, one per key
    };
    AppFile& ReadOnce(const std::string& app);

    std::map<std::string, AppFile> m_files;
};

// The store's file for app; "" when there is no home to keep it in.
std::string SettingsFilePath(const std::string& app);
