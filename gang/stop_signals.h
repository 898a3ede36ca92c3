// Holding the stop signals across a fork: they cannot reach a child before it has its own
// handlers, nor the parent's signal pipe through the child.
#pragma once

// Blocks or unblocks SIGINT, SIGTERM, SIGHUP and SIGCHLD.
void HoldSignals(bool hold);
