#include "platform/qt_settings_store.h"

#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/config_folder.h"
#include "platform/plain_file.h"
#include "platform/qt_log.h"

namespace {

// QSettings opens whatever is at its path, a device or a FIFO too, so it is only ever given a
// plain file or nothing. "" when the path may be used, else why not.
std::string WhyNoStore(const std::string& path)
{
    if (path.empty())
        return "no store: neither XDG_CONFIG_HOME nor HOME names an absolute folder";
    if (const std::string why = WhyNotPlainFile(path); !why.empty())
        return "not used: " + why;
    return "";
}

// QSettings tells only that it could not write; the system says why.
std::string WhyNotWritable(const std::string& path)
{
    if (::access(path.c_str(), W_OK) == 0 || errno == ENOENT) {
        const std::string folder = path.substr(0, path.rfind('/'));
        if (::access(folder.c_str(), W_OK) == 0)
            return "";
        return folder + ": " + std::strerror(errno);
    }
    return std::strerror(errno);
}

std::string StatusText(QSettings::Status status, const std::string& path)
{
    switch (status) {
    case QSettings::NoError: return "";
    case QSettings::AccessError: {
        const std::string why = WhyNotWritable(path);
        return "AccessError" + (why.empty() ? "" : " (" + why + ")");
    }
    case QSettings::FormatError: return "FormatError";
    }
    return "status " + std::to_string(int(status));
}

// A hand-written value with unquoted commas reads as a list; it stands for the text as written.
std::optional<std::string> TextOf(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

QString KeyOf(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section + "/" + key);
}

}  // namespace

QtSettingsStore::AppStore& QtSettingsStore::Open(const std::string& app)
{
    AppStore& store = m_apps[app];
    if (store.opened)
        return store;
    store.opened = true;
    const std::string path = SettingsFilePath(app);
    if (const std::string why = WhyNoStore(path); !why.empty()) {
        qCInfo(lcStore, "%s%s%s", path.c_str(), path.empty() ? "" : ": ", why.c_str());
        return store;
    }
    store.settings = std::make_unique<QSettings>(QString::fromLocal8Bit(path.c_str()), QSettings::IniFormat);
    qCInfo(lcStore, "%s: read%s", path.c_str(),
           store.settings->status() == QSettings::NoError ? "" : (", " + StatusText(store.settings->status(), path)).c_str());
    return store;
}

std::string QtSettingsStore::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                        const std::string& defaultValue)
{
    AppStore& store = Open(app);
    const std::string name = section + "/" + key;
    const auto saved = std::find_if(store.saved.begin(), store.saved.end(), [&](const auto& s) { return s.first == name; });
    if (saved != store.saved.end())
        return saved->second;
    const std::optional<std::string> value =
        store.settings ? TextOf(store.settings->value(KeyOf(section, key))) : std::nullopt;
    store.read.emplace(name, value);
    qCDebug(lcStore, "read %s: %s", name.c_str(), value ? ("\"" + *value + "\"").c_str() : "absent");
    return value.value_or(defaultValue);
}

void QtSettingsStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                  const std::string& value)
{
    std::vector<std::pair<std::string, std::string>>& saved = m_apps[app].saved;
    const std::string name = section + "/" + key;
    const auto same = std::find_if(saved.begin(), saved.end(), [&](const auto& s) { return s.first == name; });
    if (same != saved.end())
        same->second = value;
    else
        saved.emplace_back(name, value);
}

void QtSettingsStore::Flush(const std::string& app)
{
    AppStore& store = Open(app);
    std::vector<std::pair<std::string, std::string>> changed;
    for (const auto& [name, value] : store.saved) {
        const auto read = store.read.find(name);
        if (read == store.read.end() || read->second != value)
            changed.emplace_back(name, value);
    }
    const std::string path = SettingsFilePath(app);
    // Checked again: the path may have become something else while the window was open.
    const std::string why = changed.empty() ? "" : WhyNoStore(path);
    if (changed.empty()) {
        qCInfo(lcStore, "%s: nothing changed, nothing written", path.c_str());
    } else if (!why.empty()) {
        qCInfo(lcStore, "%s%s%s; nothing written", path.c_str(), path.empty() ? "" : ": ", why.c_str());
    } else if (!MakeFolders(ConfigFolder(app))) {
        qCInfo(lcStore, "%s: cannot make its folder (%s); nothing written", path.c_str(), std::strerror(errno));
    } else {
        if (!store.settings)
            store.settings = std::make_unique<QSettings>(QString::fromLocal8Bit(path.c_str()), QSettings::IniFormat);
        std::string names;
        for (const auto& [name, value] : changed) {
            store.settings->setValue(QString::fromStdString(name), QString::fromStdString(value));
            names += (names.empty() ? "" : ", ") + name;
        }
        store.settings->sync();
        const QSettings::Status status = store.settings->status();
        if (status == QSettings::NoError)
            qCInfo(lcStore, "%s: wrote %s", path.c_str(), names.c_str());
        else
            qCInfo(lcStore, "%s: not written: %s", path.c_str(), StatusText(status, path).c_str());
    }
    // Read afresh at the next load: another program may write it meanwhile.
    m_apps.erase(app);
}
