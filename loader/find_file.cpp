#include "loader/find_file.h"

#include "platform/file_lookup.h"

std::string FindFile(const std::string& path)
{
    const auto names = FindMatchingFiles(path, 1);
    return names.empty() ? "" : names.front();
}
