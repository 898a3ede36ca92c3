#include "loader/image_file.h"

#include <fstream>

#include "loader/find_file.h"
#include "loader/reports.h"
#include "platform/file_lookup.h"
#include "text/trim_spaces.h"

constexpr std::int64_t kRamBytes = 32768;  // the chip's RAM; no image can be larger

bool ImageFileFound(const std::string& path)
{
    return !FindFile(path).empty() && IsReadableRegularFile(path);
}

bool ImageSizeValid(std::int64_t bytes)
{
    return bytes > 0 && bytes % 4 == 0 && bytes <= kRamBytes;
}

std::string FileNotFoundMessage(const std::string& path)
{
    return "File not found" + std::string(kCrLf) + kCrLf + path;
}

std::string ImageFileProblem(const std::string& path)
{
    if (TrimSpaces(path).empty())
        return kNoFileSelected;
    if (!ImageFileFound(path))
        return FileNotFoundMessage(path);
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return FileNotFoundMessage(path);
    return ImageSizeValid(static_cast<std::int64_t>(file.tellg())) ? "" : kInvalidFileSize;
}
