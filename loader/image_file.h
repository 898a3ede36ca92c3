// The rules an image file meets before a download: one readable regular file, of a size the
// chip's RAM takes whole. The download and the gang's check before any port is touched share them.
#pragma once

#include <cstdint>
#include <string>

// True when path names one readable regular file (not a pattern of several, not a folder).
bool ImageFileFound(const std::string& path);
// An empty image can never pass the checksum, and one beyond the RAM would wrap the length long
// and leave the chip hung.
bool ImageSizeValid(std::int64_t bytes);
std::string FileNotFoundMessage(const std::string& path);
constexpr const char* kInvalidFileSize = "Invalid file size";
constexpr const char* kNoFileSelected = "No file selected";

// What a download of path would report about the file before sending it; "" when it would go on.
std::string ImageFileProblem(const std::string& path);
