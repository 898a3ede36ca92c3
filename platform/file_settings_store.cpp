#include "platform/file_settings_store.h"

#include <algorithm>

#include "platform/config_folder.h"
#include "platform/plain_file.h"

std::string SettingsFilePath(const std::string& app)
{
    const std::string folder = ConfigFolder(app);
    return folder.empty() ? "" : folder + "/" + app + ".conf";
}

FileSettingsStore::AppFile& FileSettingsStore::ReadOnce(const std::string& app)
{
    AppFile& file = m_files[app];
    if (!file.read) {
        const std::string path = SettingsFilePath(app);
        // A store that is not a plain file reads as an empty one.
        file.lines = ReadIniLines(path.empty() ? "" : ReadPlainFile(path).text);
        file.read = true;
    }
    return file;
}

std::string FileSettingsStore::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                          const std::string& defaultValue)
{
    const AppFile& file = ReadOnce(app);
    const auto saved = std::find_if(file.saved.begin(), file.saved.end(),
                                    [&](const IniWrite& w) { return w.section == section && w.key == key; });
    if (saved != file.saved.end())
        return saved->value;
    return FindIniValue(file.lines, section, key).value_or(defaultValue);
}

void FileSettingsStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                    const std::string& value)
{
    std::vector<IniWrite>& saved = m_files[app].saved;
    const auto same = std::find_if(saved.begin(), saved.end(),
                                   [&](const IniWrite& w) { return w.section == section && w.key == key; });
    if (same != saved.end())
        same->value = value;
    else
        saved.push_back({section, key, value});
}

void FileSettingsStore::Flush(const std::string& app)
{
    AppFile& file = m_files[app];
    const std::string path = SettingsFilePath(app);
    // A store that cannot be written stays as it was; the run goes on as usual.
    if (!file.saved.empty() && !path.empty() && MakeFolders(ConfigFolder(app)))
        RewritePlainFile(path, [&](const std::string& text) { return WriteIniValues(text, file.saved); });
    file.saved.clear();
    // Read afresh at the next load: another run may have written it meanwhile.
    file.read = false;
}
