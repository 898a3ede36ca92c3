#include "tests/support/file_wait.h"

#include <chrono>
#include <thread>

#include "tests/support/child_process.h"

bool WaitForFileText(const std::string& path, const std::string& text, int timeoutMs)
{
    constexpr std::chrono::milliseconds kLookInterval(10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (ReadTextFile(path).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kLookInterval);
    }
    return true;
}
