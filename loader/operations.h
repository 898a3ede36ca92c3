// What the user came for: download, identify, reboot, shutdown and the chip search. Each reads
// the LoaderState fields and ends with exactly one message.
#pragma once

#include <functional>

#include "loader/loader.h"

void DownloadImage(Loader& ld);
void IdentifyChip(Loader& ld);
void RebootChip(Loader& ld);
void ShutdownChip(Loader& ld);
void FindChips(Loader& ld);

// The operations the command line and the window start, in the window's button order; tests
// and the fuzz target put fakes in.
struct Operations {
    std::function<void(Loader&)> FindChips;
    std::function<void(Loader&)> IdentifyChip;
    std::function<void(Loader&)> DownloadImage;
    std::function<void(Loader&)> ShutdownChip;
    std::function<void(Loader&)> RebootChip;
    // The command line's terminal: after an operation, on the port it left open, or alone, when
    // it opens the port and resets the chip first. The platform's standard streams stand behind
    // it, so the program's entry puts it in.
    std::function<void(Loader&, bool afterOperation)> RunTerminal;
};
Operations RealOperations();
