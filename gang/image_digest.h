// The SHA-256 of the image, so the report says exactly which bytes went into the boards.
#pragma once

#include <string>

// 64 lowercase hexadecimal digits; "" when the file cannot be read.
std::string Sha256OfImage(const std::string& path);
