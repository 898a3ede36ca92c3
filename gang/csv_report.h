// The run's record for traceability: one CSV line per board appended to the user's file, whole
// lines even when several runs append to it at once.
#pragma once

#include <string>
#include <vector>

#include "gang/board.h"

extern const char* const kCsvHeader;  // "time,port,device,image,sha256,destination,result,seconds"

// A field as RFC 4180 writes it: in double quotes, its quotes doubled, when it holds a comma, a
// quote or a line break; as it stands otherwise.
std::string CsvField(const std::string& text);

class CsvReport {
public:
    CsvReport(std::string path, std::string image, std::string sha256);

    // Creates the file with its header line where it is missing or empty. "" when it can be
    // written, else why not.
    std::string Open();
    // The board's line, timed now.
    void Append(const Board& board);

private:
    std::string Failure(const std::string& why) const;

    std::string m_path;
    std::string m_image;
    std::string m_sha256;
};
