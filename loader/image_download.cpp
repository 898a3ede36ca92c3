// Download: the image file's bytes, pulse-encoded after a command and a length long, into the
// chip's RAM or EEPROM, then the chip's checksum and EEPROM acknowledgements.
#include <algorithm>
#include <fstream>

#include "loader/boot_handshake.h"
#include "loader/image_file.h"
#include "loader/operation_start.h"
#include "loader/operations.h"
#include "loader/progress_percent.h"
#include "loader/pulse_encoder.h"
#include "loader/reports.h"
#include "loader/serial_link.h"
#include "text/trim_spaces.h"

constexpr std::int64_t kChunkBytes = 128;
constexpr std::int32_t kChecksumWaitMs = 250;
constexpr std::int32_t kEepromWaitMs = 5000;

static void ReportFileNotFound(Loader& ld)
{
    ReportError(ld, FileNotFoundMessage(ld.state.ImageFile));
}

// Sends the image in chunks, the bar following. False after an error has been reported.
static bool StreamImage(Loader& ld, std::ifstream& file, std::int64_t size)
{
    const bool dense = DensePacking(ld.state);
    std::vector<char> chunk(kChunkBytes);
    std::int64_t position = 0;
    for (;;) {
        ld.frmPellik.SetProgress(Percent(static_cast<std::int32_t>(position), static_cast<std::int32_t>(size)));
        const std::int64_t remaining = size - position;
        if (remaining == 0)
            return true;
        const std::int64_t count = std::min(remaining, kChunkBytes);
        if (!file.read(chunk.data(), count)) {
            // A file that shrank or failed under us must never end in a success message.
            ReportError(ld, "Error reading file" + std::string(kCrLf) + kCrLf + ld.state.ImageFile);
            return false;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            SendByte(ld, static_cast<std::uint8_t>(chunk[static_cast<std::size_t>(i)]));
            // Standard packing pads every long to 11 characters; dense runs bits on.
            if (!dense && i % 4 == 3)
                FlushBits(ld);
        }
        FlushFullBlocks(ld);
        if (PortLost(ld)) {
            ReportError(ld, "Hardware link lost");
            return false;
        }
        position += count;
    }
}

// One acknowledgement: true when the chip answered 0 (okay); otherwise reports and gives false.
static bool Acknowledged(Loader& ld, const std::string& step, std::int32_t timeoutMs, const char* timedOut,
                         const char* failed)
{
    const std::int32_t answer = PollBit(ld, timeoutMs);
    if (answer < 0)
        LogNoAnswer(ld, step, timeoutMs);
    else
        ld.linkLog.Write(step + ": " + (answer == 0 ? "0 (okay)" : "1 (failed)"));
    if (answer == 0)
        return true;
    if (answer < 0 && PortLost(ld))
        ReportError(ld, "Hardware link lost");
    else
        ReportError(ld, answer < 0 ? timedOut : failed);
    return false;
}

void DownloadImage(Loader& ld)
{
    LoaderState& s = ld.state;
    if (TrimSpaces(s.ImageFile).empty()) {
        ReportError(ld, kNoFileSelected);
        return;
    }
    // One readable regular file, not a pattern or a folder: checked before the port is touched.
    if (!ImageFileFound(s.ImageFile)) {
        ReportFileNotFound(ld);
        return;
    }
    if (!ConnectForOperation(ld))
        return;

    bool streamed = false;
    {
        std::ifstream file(s.ImageFile, std::ios::binary);
        if (!file) {
            ReportFileNotFound(ld);
            return;
        }
        file.seekg(0, std::ios::end);
        const std::int64_t size = static_cast<std::int64_t>(file.tellg());
        file.seekg(0, std::ios::beg);
        if (!ImageSizeValid(size)) {
            ReportError(ld, kInvalidFileSize);
        } else {
            s.BytesSent = 0;
            SendLong(ld, static_cast<std::uint32_t>(s.BootCommand));
            FlushOutput(ld);
            const std::int64_t longs = size / 4;
            SendByte(ld, static_cast<std::int32_t>(longs & 0xFF));
            SendByte(ld, static_cast<std::int32_t>(longs / 256));
            SendByte(ld, 0);
            SendByte(ld, 0);
            FlushBits(ld);
            streamed = StreamImage(ld, file, size);
        }
    }  // the file is closed here on every path
    if (!streamed)
        return;

    FlushOutput(ld);
    if (PortLost(ld)) {
        ReportError(ld, "Hardware link lost");
        return;
    }
    s.RxBuffer.clear();
    if (!Acknowledged(ld, "checksum acknowledgement", kChecksumWaitMs, "Timedout waiting for Checksum Okay response",
                      "Checksum failed"))
        return;
    if (s.BootCommand <= kBootRam) {
        ReportInfo(ld, "Download to Ram successful - Sent" + NumberText(s.BytesSent) + " bytes");
        return;
    }
    if (!Acknowledged(ld, "EEPROM write acknowledgement", kEepromWaitMs,
                      "Timedout waiting for Write Eeprom Okay response", "Write Eeprom Failed"))
        return;
    if (!Acknowledged(ld, "EEPROM verify acknowledgement", kEepromWaitMs,
                      "Timedout waiting for Verify Eeprom Okay response", "Verify Eeprom Failed"))
        return;
    ReportInfo(ld, "Download to Eeprom successful - Sent" + NumberText(s.BytesSent) + " bytes");
}
