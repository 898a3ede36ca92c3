// Processor time for the benchmarks, user and system together.
#pragma once

#include <sys/resource.h>

// Seconds used by this process (RUSAGE_SELF) or by its children that have been waited for
// (RUSAGE_CHILDREN).
inline double CpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
