#include "cli/command_line.h"
#include "loader/reports.h"
#include "platform/file_lookup.h"

void ParseFilename(Loader& ld, const Operations& ops, SeparatorMode mode, const std::string& token)
{
    LoaderState& s = ld.state;
    std::string path = token;
    // "/" is the separator here; a backslash typed out of habit from another system means the same.
    if (mode == SeparatorMode::Convert) {
        for (char& c : path) {
            if (c == '\\')
                c = '/';
        }
    }

    // One lookup continued to a second match: the first name is what FindFile gives, the second
    // makes the pattern ambiguous.
    const auto names = FindMatchingFiles(path, 2);
    s.ImageFile = names.empty() ? "" : names.front();
    if (names.empty()) {
        ReportError(ld, std::string("File Not Found") + kCrLf + kCrLf + path);
    } else if (names.size() > 1) {
        ReportError(ld, "Ambiguous Filename : '" + path + "'");
    } else {
        // The folder as typed, the name as found.
        const auto slash = path.rfind('/');
        if (slash != std::string::npos)
            s.ImageFile = path.substr(0, slash + 1) + s.ImageFile;
        RunThenTerminal(ld, ops, ops.DownloadImage);
        ld.frmPellik.Unload();
    }
    s.CommandLine = "";
}
