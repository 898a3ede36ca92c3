// A settings store held in memory, with a log of every read and write in order and of the flushes.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"

class MemorySettingsStore : public SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;  // app, section, key

    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override
    {
        reads.push_back(section + "/" + key);
        auto it = values.find({app, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        writes.push_back(section + "/" + key);
        values[{app, section, key}] = value;
    }
    void Flush(const std::string&) override { flushes.push_back(writes.size()); }

    std::map<Key, std::string> values;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    std::vector<std::size_t> flushes;  // how many writes there were at each flush
};
