// The serial port as the loader uses it: opening, closing, reset pulse, timed waits, and the
// transmit and receive queues that carry every byte between the loader and the chip.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "loader/loader.h"

class SerialControl;

// The serial control of the main window; touching it loads the window in a command-line run.
SerialControl& Port(Loader& ld);

// Lets pending events run for at most wait: every wait of the loader goes through here, and
// bytes received meanwhile go to RxBuffer for the handshake's and the download's answer waits.
void PumpEvents(Loader& ld, std::chrono::microseconds wait);

// First phase of ConnectChip: reuses a port open with the same number and baud text, else
// (re)opens it. Returns whether the port is open; on success writes txtPort/txtBaud, on failure
// ld.openFailure says why.
bool OpenPort(Loader& ld, std::int32_t port, const std::string& baud);
void ClosePort(Loader& ld);
// For a run that a signal ends in the middle of a wait: the chip left as an ended operation
// leaves it (no reset held) and the port closed at once, its unsent bytes dropped, so no lock
// file stays behind.
void AbandonPort(SerialControl& port);
// Switches the open port to another rate and nothing else: DTR, RTS and break stay, so a running
// chip is not reset. False when the port refused the rate.
bool ChangeBaud(Loader& ld, const std::string& baud);
// The baud rate in force, the part of the settings before the first comma.
std::string BaudInForce(Loader& ld);
void ResetChip(Loader& ld);
void Delay(Loader& ld, std::int32_t ms);
// Queues one byte as it stands, after the pending line levels have been packed: a raw byte never
// overtakes bits sent before it.
void QueueRawByte(Loader& ld, std::int32_t value);
// One bit as a whole character, 0xFE for 0 and 0xFF for 1: how standard packing sends the
// handshake's bits.
void SendBitByte(Loader& ld, std::int32_t bit);
void FlushOutput(Loader& ld);
void FlushFullBlocks(Loader& ld);
// The port's event: received bytes go to RxBuffer while a loader wait runs, else to
// ld.receiver (the terminal) if there is one, else nowhere.
void SerialPort_OnComm(Loader& ld);
void AppendReceived(Loader& ld, const ByteString& data);
std::int32_t ReadByte(Loader& ld);
