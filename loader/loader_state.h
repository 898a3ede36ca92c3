// The one record of shared state: the parameters of the next chip operation, the link status,
// the handshake generator and the transmit/receive queues. One instance lives for the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using ByteString = std::vector<std::uint8_t>;

// LinkStatus codes; 0 or more is the chip version (only 1 is ever kept).
constexpr std::int32_t kLinkHandshaking = -1;
constexpr std::int32_t kLinkNoChip = -2;
constexpr std::int32_t kLinkLost = -3;
constexpr std::int32_t kLinkErrorReported = -4;

struct LoaderState {
    std::int32_t PortNumber = 0;      // 0: no port given
    std::string BaudText;             // "" : no baud rate given
    std::string ImageFile;            // "*": the command-line run has nothing left to do
    bool UseBreakReset = false;
    std::int32_t BootCommand = 0;     // 1 RAM, 3 EEPROM, 0 not chosen yet
    std::string ZeroPattern;          // line levels of a 0 bit, always "001"
    std::string OnePattern;           // "011" standard packing, "01" dense
    std::string MessageTitle;
    std::int32_t LinkStatus = 0;
    std::int32_t LfsrState = 0;
    ByteString TxBuffer;              // queued for the port, not yet handed over
    std::string PulseBits;            // line levels not yet packed into characters
    ByteString RxBuffer;              // received, not yet consumed
    std::int32_t BytesSent = 0;
    std::string CommandLine;          // unparsed rest of a command-line run
};
