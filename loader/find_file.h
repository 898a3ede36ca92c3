// The image file lookup of a download: a wildcard pattern to the one file it stands for.
#pragma once

#include <string>

// Name part of the first regular, non-hidden file matching path (wildcards * and ?), or "".
std::string FindFile(const std::string& path);
