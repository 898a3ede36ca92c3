#include "platform/file_lookup.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> FindMatchingFiles(const std::string& pattern, std::size_t limit)
{
    std::vector<std::string> names;
    if (pattern.empty() || limit == 0)
        return names;
    const auto slash = pattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
    const std::string prefix = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
    const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (namePattern.empty())
        return names;

    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (names.size() < limit) {
        const dirent* entry = readdir(dir);
        if (!entry)
            break;
        const std::string name = entry->d_name;
        if (name[0] == '.')  // hidden, and "." and ".."
            continue;
        // FNM_PERIOD is moot after the hidden check; "[" is no wildcard here, so escape it.
        std::string glob;
        for (char c : namePattern) {
            if (c == '[' || c == ']' || c == '\\')
                glob += '\\';
            glob += c;
        }
        if (fnmatch(glob.c_str(), name.c_str(), 0) != 0)
            continue;
        struct stat info {};
        if (stat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool IsReadableRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}
