#include "platform/port_holder.h"

#include <dirent.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

std::string Described(long pid)
{
    std::string name;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A process of ours or of a user whose /proc we may read that has the file open.
long PidWithOpen(const struct stat& device)
{
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    long found = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (found || !std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        const long pid = std::strtol(entry->d_name, nullptr, 10);
        if (pid == ::getpid())
            continue;
        const std::string fds = "/proc/" + std::string(entry->d_name) + "/fd";
        DIR* dir = ::opendir(fds.c_str());
        if (!dir)
            continue;
        while (const dirent* fd = ::readdir(dir)) {
            struct stat info {};
            if (fd->d_name[0] != '.' && ::stat((fds + "/" + fd->d_name).c_str(), &info) == 0 && SameFile(info, device)) {
                found = pid;
                break;
            }
        }
        ::closedir(dir);
    }
    ::closedir(proc);
    return found;
}

// A process that holds a lock on the file (Pellik32 locks its port, as do many terminal
// programs): the surest holder, as others may merely have it open.
long PidWithLock(const struct stat& device)
{
    char id[64];
    std::snprintf(id, sizeof id, " %02x:%02x:%lu ", major(device.st_dev), minor(device.st_dev),
                  static_cast<unsigned long>(device.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        // "1: FLOCK  ADVISORY  WRITE 4711 00:19:5 0 EOF"
        const std::size_t at = line.find(id);
        if (at == std::string::npos)
            continue;
        const std::size_t start = line.rfind(' ', at - 1);
        const long pid = std::strtol(line.c_str() + start + 1, nullptr, 10);
        if (pid > 0 && pid != ::getpid())
            return pid;
    }
    return 0;
}

}  // namespace

std::string ProcessHolding(const std::string& path)
{
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0)
        return "";
    long pid = PidWithLock(device);
    if (!pid)
        pid = PidWithOpen(device);
    return pid ? Described(pid) : "";
}
