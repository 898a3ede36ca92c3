// The per-user settings store on QSettings' INI files, <config folder>/<app>.conf: read when the
// window loads, and at unload only the values that differ from what was read are set, in one
// sync, so a run that changed nothing writes nothing and another program's changes survive.
#pragma once

#include <QSettings>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings_store.h"

class QtSettingsStore : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    void Flush(const std::string& app) override;

private:
    struct AppStore {
        bool opened = false;
        std::unique_ptr<QSettings> settings;  // none: no home, or the path is no plain file
        std::map<std::string, std::optional<std::string>> read;  // "section/key": what the file held
        std::vector<std::pair<std::string, std::string>> saved;   // since the last flush, one per key
    };
    AppStore& Open(const std::string& app);

    std::map<std::string, AppStore> m_apps;
};
