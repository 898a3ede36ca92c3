// Runs a program of the project as a child process with a given environment, stdin from
// /dev/null and its output captured, killing it when it overruns its time.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildResult {
    int exitCode = -1;    // -1 when killed by a signal
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Pipes keep the two streams apart; Terminal puts both on one pseudo-terminal, as a shell would,
// and captures them together in out; BrokenPipe gives standard output a pipe whose reader has gone;
// Closed starts the child with standard input, output and error closed.
enum class ChildOutput { Pipes, Terminal, BrokenPipe, Closed };

// The environment holds only what is given (and the sanitizers' options): no DISPLAY, and no
// terminal unless asked for, so messages go to the captured standard output and error.
// runAs, when not -1, is the user and group id the child takes before it starts (a root test
// running the program as a user that file modes stop); a child that cannot take it exits 126.
ChildResult RunChild(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                     int timeoutMs, ChildOutput output = ChildOutput::Pipes, int runAs = -1);

// This process's sanitizer options as NAME=value: a sanitizer build's children report under the
// same rules as the test itself.
std::vector<std::string> SanitizerOptions();

// A child that keeps running beside the test (the virtual chip); its standard output goes to a file.
pid_t StartChild(const std::vector<std::string>& argv, const std::string& stdoutFile);
void StopChild(pid_t pid);

std::string ReadTextFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
// A fresh folder under the build's test-home for each test, removed when the test passes.
std::string MakeTempFolder();
