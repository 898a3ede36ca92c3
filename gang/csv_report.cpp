#include "gang/csv_report.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "gang/board_text.h"

const char* const kCsvHeader = "time,port,device,image,sha256,destination,result,seconds";

namespace {

constexpr mode_t kFileMode = 0644;

// The local time in ISO 8601 with its offset: 2024-05-06T14:03:21+02:00.
std::string IsoTimeNow()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local {};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    if (iso.size() >= 5)
        iso.insert(iso.size() - 2, ":");  // +0200 -> +02:00
    return iso;
}

// Appends text in one write under an exclusive lock, after the header if the file is empty, so
// lines of runs that overlap never interleave. "" on success, else why it failed.
std::string AppendLocked(const std::string& path, const std::string& text)
{
    // Not blocking: a FIFO without a reader fails at once instead of holding up the run.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, kFileMode);
    if (fd < 0)
        return std::strerror(errno);
    std::string failure;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || ::flock(fd, LOCK_EX) != 0) {
        failure = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        failure = "not a regular file";  // a record is kept in a file, with its header once
    } else {
        const std::string whole = (info.st_size == 0 ? std::string(kCsvHeader) + "\n" : "") + text;
        const ssize_t written = ::write(fd, whole.data(), whole.size());
        if (written != static_cast<ssize_t>(whole.size()))
            failure = written < 0 ? std::strerror(errno) : "the disk took only part of the line";
    }
    ::close(fd);  // and with it the lock
    return failure;
}

}  // namespace

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

CsvReport::CsvReport(std::string path, std::string image, std::string sha256)
    : m_path(std::move(path)), m_image(std::move(image)), m_sha256(std::move(sha256))
{
}

std::string CsvReport::Open()
{
    const std::string failure = AppendLocked(m_path, "");
    return failure.empty() ? "" : Failure(failure);
}

std::string CsvReport::Failure(const std::string& why) const
{
    return "cannot write the report " + m_path + ": " + why;
}

void CsvReport::Append(const Board& board)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", board.Seconds());
    const std::string fields[] = {IsoTimeNow(),
                                  "COM" + std::to_string(board.job.port),
                                  board.device,
                                  m_image,
                                  m_sha256,
                                  board.job.eeprom ? "EEPROM" : "RAM",
                                  JoinedMessage(board.message),
                                  seconds};
    std::string line;
    for (const std::string& field : fields)
        line += (&field == fields ? "" : ",") + CsvField(field);
    const std::string failure = AppendLocked(m_path, line + "\n");
    if (!failure.empty())
        std::fprintf(stderr, "pellik32-gang: %s\n", Failure(failure).c_str());
}
