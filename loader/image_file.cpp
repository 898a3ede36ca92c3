// File lookup and the progress percentage of a download.
#include <cmath>

#include "loader/operations.h"
#include "platform/file_lookup.h"

std::string FindFile(const std::string& path)
{
    const auto names = FindMatchingFiles(path, 1);
    return names.empty() ? "" : names.front();
}

std::int32_t Percent(std::int32_t part, std::int32_t whole)
{
    // The quotient first, as the progress display has always computed it: 3712 of 6400 gives 57.
    const double quotient = static_cast<double>(part) / static_cast<double>(whole);
    return static_cast<std::int32_t>(std::floor(quotient * 100.0));
}
