// What the window's buttons do, without the widget: copy the controls into the loader fields
// and run one operation with the window disabled.
#pragma once

#include <functional>

#include "loader/loader.h"
#include "ui/window_model.h"

// Copies the window's fields into the loader fields, trimmed, and resets the progress bar.
void ImportSettings(Loader& ld, WindowModel& window);
// Disables the window, imports the settings, runs the operation and enables the window again.
void RunWindowOperation(Loader& ld, WindowModel& window, const std::function<void(Loader&)>& operation);
