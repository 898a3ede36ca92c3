// Where the loader's account of the link goes (handshake outcome, answers, waits that ran out):
// a log the user turns on to learn why an operation failed. The base class drops every line.
#pragma once

#include <string>

class LinkLog {
public:
    virtual ~LinkLog() = default;
    virtual void Write(const std::string& line) { (void)line; }
};

// The log of runs that wire none (in-process tests, the benchmark).
inline LinkLog& NoLinkLog()
{
    static LinkLog none;
    return none;
}
