// Chip model options with one field changed, for test tables: With(&RomChipOptions::silent, true).
#pragma once

#include "tools/rom_chip.h"

template <typename T>
RomChipOptions With(T RomChipOptions::*field, T value)
{
    RomChipOptions options;
    options.*field = value;
    return options;
}
