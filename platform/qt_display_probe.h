// Whether a Qt GUI can start here, and on which platform. Qt aborts the process when its display
// platform cannot connect, so the question is answered before any application object exists.
#pragma once

#include <string>

enum class DisplayKind {
    None,       // no platform that can start: window mode must not be tried
    Headless,   // offscreen or minimal: a GUI starts, but nobody can see or click it
    Interactive
};

struct DisplayCheck {
    DisplayKind kind = DisplayKind::None;
    std::string missing;  // for None: what the user lacks, as a phrase for a one-line message
};

// Chooses X when DISPLAY is set and the user has chosen no platform (QT_QPA_PLATFORM is set for
// this process), then checks the environment and starts a GUI application in a forked child.
// Call before creating any Qt application object.
DisplayCheck ProbeDisplay();
