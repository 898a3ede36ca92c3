#include "loader/progress_percent.h"

#include <algorithm>
#include <cmath>

std::int32_t Percent(std::int32_t part, std::int32_t whole)
{
    if (whole == 0)
        return 0;  // nothing to show a share of
    // The quotient first, then scaled in double precision, and the bar shows exactly that:
    // 3712 of 6400 gives 57 (0.58 is stored a little low), not the 58 of 371200 / 6400.
    const double quotient = static_cast<double>(part) / static_cast<double>(whole);
    const double percent = std::floor(quotient * 100.0);
    // Kept inside the 32-bit range so that an odd pair can never overflow the conversion.
    return static_cast<std::int32_t>(std::clamp(percent, -2147483648.0, 2147483647.0));
}
