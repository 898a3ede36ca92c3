// Which other process holds a serial device open, so a port in use is reported as such rather
// than as a permission problem.
#pragma once

#include <string>

// "process 4711 (Pellik32)" for another process that holds a lock on the device at path, else
// one that has it open; "" when none is found.
std::string ProcessHolding(const std::string& path);
