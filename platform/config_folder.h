// Where a user's files for the program live: $XDG_CONFIG_HOME/<app>, else $HOME/.config/<app>.
#pragma once

#include <string>

// "" when neither variable names an absolute folder: without a home there is no store and no
// port map (rather than a folder made in "/").
std::string ConfigFolder(const std::string& app);

// The settings store's file, <config folder>/<app>.conf; "" when there is no home to keep it in.
std::string SettingsFilePath(const std::string& app);
