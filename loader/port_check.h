// The check every operation but the search makes before it touches the port.
#pragma once

#include "loader/loader.h"

// False (after reporting "No COM Port specified") when no port was given; otherwise fills the
// default baud rate and destination and returns true.
bool CheckPortGiven(Loader& ld);
