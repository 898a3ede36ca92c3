// What the user came for: download, identify, reboot, shutdown and the chip search. Each reads
// the LoaderState fields and ends with exactly one message.
#pragma once

#include <cstdint>
#include <string>

#include "loader/loader.h"

void DownloadImage(Loader& ld);
void IdentifyChip(Loader& ld);
void RebootChip(Loader& ld);
void ShutdownChip(Loader& ld);
void FindChips(Loader& ld);

// The start of Identify, Reboot, Shutdown and Download: the port check, the connection and the
// report of a lost link or a missing chip. True when a chip answered and the operation goes on.
bool ConnectForOperation(Loader& ld);
// True when the port failed (an unplugged adapter) while the operation ran.
bool PortLost(Loader& ld);

// Name part of the first regular, non-hidden file matching path (wildcards * and ?), or "".
std::string FindFile(const std::string& path);
// part / whole * 100, rounded down; the quotient is formed first.
std::int32_t Percent(std::int32_t part, std::int32_t whole);
