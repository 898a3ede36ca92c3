// Waiting for a file to show a text: how a test learns how far a program running beside it (the
// virtual chip, through its log or its output) has got, without guessing with a fixed sleep.
#pragma once

#include <string>

// Looks every 10 ms until the file at path holds text; false when timeoutMs passed first.
bool WaitForFileText(const std::string& path, const std::string& text, int timeoutMs);
