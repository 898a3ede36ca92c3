// What the operations that talk to one chip share: the start (port check, connection, report of
// a missing chip) and the test for a port that failed under them.
#pragma once

#include "loader/loader.h"

// The start of Identify, Reboot, Shutdown and Download: the port check, the connection and the
// report of a lost link or a missing chip. True when a chip answered and the operation goes on.
bool ConnectForOperation(Loader& ld);
// The start of a terminal without an operation: the port check, the port opened (or the report
// of why it did not) and the chip reset, with no handshake, so its EEPROM program starts afresh.
bool ConnectForTerminal(Loader& ld);
// True when the port failed (an unplugged adapter) while the operation ran.
bool PortLost(Loader& ld);
