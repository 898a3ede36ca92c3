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

// Line levels of one bit, '0' the line low: a 0 bit is always kZeroPattern; a 1 bit is
// kStandardOnePattern in standard packing and kDenseOnePattern in dense packing.
constexpr const char* kZeroPattern = "001";
constexpr const char* kStandardOnePattern = "011";
constexpr const char* kDenseOnePattern = "01";

// BootCommand values: the command long that follows the handshake tells the chip what to do.
constexpr std::int32_t kBootNotChosen = 0;  // no destination given; the port check makes it RAM
constexpr std::int32_t kBootRam = 1;        // load the image into RAM and run it
constexpr std::int32_t kBootEeprom = 3;     // also program it into the EEPROM, then run it
constexpr std::int32_t kShutdownCommand = 0;

// The baud rate of an operation whose baud text is empty, and of a window loaded afresh.
constexpr const char* kDefaultBaud = "115200";
// Every baud rate an operation may be given, written exactly so.
constexpr const char* kBaudRates[] = {"4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200"};
// ImageFile of a command-line run that has nothing left to do (an operation ran or an error ended it).
constexpr const char* kRunFinished = "*";

// MessageTitle and the window's caption are built from these.
constexpr const char* kProductCaption = "Ulvane Propeller Downloader";
constexpr const char* kBuildTag = " - KR6 32-Bit";

struct LoaderState {
    std::int32_t PortNumber = 0;      // 0: no port given
    std::string BaudText;             // "" : no baud rate given
    std::string ImageFile;            // kRunFinished: the command-line run has nothing left to do
    bool UseBreakReset = false;
    std::int32_t BootCommand = kBootNotChosen;  // kBootRam or kBootEeprom once chosen
    std::string ZeroPattern;          // line levels of a 0 bit: kZeroPattern
    std::string OnePattern;           // kStandardOnePattern or kDenseOnePattern
    std::string MessageTitle;
    std::int32_t LinkStatus = 0;
    std::int32_t LfsrState = 0;
    ByteString TxBuffer;              // queued for the port, not yet handed over
    std::string PulseBits;            // line levels not yet packed into characters
    ByteString RxBuffer;              // received, not yet consumed
    std::int32_t BytesSent = 0;
    std::string CommandLine;          // unparsed rest of a command-line run
    bool UseTerminal = false;         // a command-line run relays the chip's line after its operation
    std::string TerminalBaud;         // the terminal's rate; "" : the operation's
};

// Dense packing is any 1 pattern but the standard one.
inline bool DensePacking(const LoaderState& s)
{
    return s.OnePattern != kStandardOnePattern;
}
