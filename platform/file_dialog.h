// The platform's file-open dialog, as the window's Browse button uses it.
#pragma once

#include <string>
#include <vector>

struct FileFilter {
    std::string description;            // "Image Files (*.eeprom,*.binary,*.eep,*.bin)"
    std::vector<std::string> patterns;  // "*.eeprom", "*.binary", ...
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Shows a modal dialog that accepts only existing files, opening on the first filter at
    // initialPath; returns the chosen path, or "" when the user cancelled.
    virtual std::string ShowOpen(const std::string& title, const std::vector<FileFilter>& filters,
                                 const std::string& initialPath) = 0;
};
