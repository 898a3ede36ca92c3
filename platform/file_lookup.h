// Directory lookup with wildcards, as the command line and the download use it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Names, without the folder, of the regular files whose name matches the name part of pattern
// ("*" and "?" allowed, case-sensitive; names beginning with "." are hidden and never match),
// in directory order, at most limit of them. A lookup that fails gives no names.
std::vector<std::string> FindMatchingFiles(const std::string& pattern, std::size_t limit);

// True when path names one regular file that this process can open for reading.
bool IsReadableRegularFile(const std::string& path);
