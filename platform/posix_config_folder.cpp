#include "platform/config_folder.h"

#include <cstdlib>

namespace {

// A relative folder would depend on where the program was started; it counts as unset.
std::string AbsoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

}  // namespace

std::string ConfigFolder(const std::string& app)
{
    if (const std::string config = AbsoluteVariable("XDG_CONFIG_HOME"); !config.empty())
        return config + "/" + app;
    if (const std::string home = AbsoluteVariable("HOME"); !home.empty())
        return home + "/.config/" + app;
    return "";
}

std::string SettingsFilePath(const std::string& app)
{
    const std::string folder = ConfigFolder(app);
    return folder.empty() ? "" : folder + "/" + app + ".conf";
}
