// File lookup and the progress percentage of a download.
#include <algorithm>
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
    if (whole == 0)
        return 0;  // nothing to show a share of
    // The quotient first, as the progress display has always computed it: 3712 of 6400 gives 57.
    const double quotient = static_cast<double>(part) / static_cast<double>(whole);
    const double percent = std::floor(quotient * 100.0);
    // Kept inside the 32-bit range so that an odd pair can never overflow the conversion.
    return static_cast<std::int32_t>(std::clamp(percent, -2147483648.0, 2147483647.0));
}
