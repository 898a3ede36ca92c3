// A board's process: the loader core wired as Pellik32 wires it, without a settings store, for
// one download on one port, its progress and result sent to the gang.
#pragma once

#include <functional>
#include <memory>

#include "gang/board_job.h"
#include "platform/serial_control.h"

using SerialFactory = std::function<std::unique_ptr<SerialControl>()>;

// Runs in a forked child and gives its exit status; reportFd is the pipe to the gang. A stop
// signal releases DTR and break, closes the port and ends the process with 128 + its number,
// reporting nothing.
int RunBoard(const BoardJob& job, int reportFd, const SerialFactory& makeSerial);

// The serial control of real ports: QSerialPort on the device Pellik32's port map names.
std::unique_ptr<SerialControl> MakePortControl();
