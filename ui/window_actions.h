// What the window's buttons do, without the widget: copy the controls into the loader fields
// and run one operation with the window disabled.
#pragma once

#include "loader/loader.h"

void ImportSettings(Loader& ld);
// Disables the window, imports the settings, runs the operation and enables the window again.
void RunWindowOperation(Loader& ld, void (*operation)(Loader&));
