// What the user came for: download, identify, reboot, shutdown and the chip search. Each reads
// the LoaderState fields and ends with exactly one message.
#pragma once

#include "loader/loader.h"

void DownloadImage(Loader& ld);
void IdentifyChip(Loader& ld);
void RebootChip(Loader& ld);
void ShutdownChip(Loader& ld);
void FindChips(Loader& ld);
