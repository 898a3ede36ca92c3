// The command line's terminal: the chip's line relayed to standard output and standard input to
// the chip, after an operation or alone, until the user ends it or the port is lost.
#pragma once

#include "loader/loader.h"
#include "platform/terminal_io.h"

// afterOperation: on the port the operation left open, at the terminal's rate; otherwise the
// port is opened and the chip reset first (no handshake), so its EEPROM program starts afresh.
void RunTerminal(Loader& ld, TerminalIo& io, bool afterOperation);
