// The serial port as the loader uses it: opening, closing, reset pulse, timed waits, and the
// transmit and receive queues that carry every byte between the loader and the chip.
#pragma once

#include <cstdint>
#include <string>

#include "loader/loader.h"

class SerialControl;

// The serial control of the main window; touching it loads the window in a command-line run.
SerialControl& Port(Loader& ld);

// First phase of ConnectChip: reuses a port open with the same number and baud text, else
// (re)opens it. Returns whether the port is open; on success writes txtPort/txtBaud.
bool OpenPort(Loader& ld, std::int32_t port, const std::string& baud);
void ClosePort(Loader& ld);
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
void SerialPort_OnComm(Loader& ld);
void AppendReceived(Loader& ld, const ByteString& data);
std::int32_t ReadByte(Loader& ld);
