// Whether a Qt GUI can start here. Qt aborts the process when its display platform cannot
// connect, so the question is answered before any application object exists.
#pragma once

enum class DisplayKind {
    None,       // no platform that can start: window mode must not be tried
    Headless,   // offscreen or minimal: a GUI starts, but nobody can see or click it
    Interactive
};

// Cheap checks of the environment first; a display that may work is tried in a forked child
// that starts a GUI application. Call before creating any Qt application object.
DisplayKind ProbeDisplay();
