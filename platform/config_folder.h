// Where a user's files for the program live: $XDG_CONFIG_HOME/<app>, else $HOME/.config/<app>.
#pragma once

#include <string>

// "" when neither variable names an absolute folder: without a home there is no store and no
// port map (rather than a folder made in "/").
std::string ConfigFolder(const std::string& app);
