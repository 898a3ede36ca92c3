#include "platform/plain_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where path's links lead; the last one need not exist yet (a store linked to a file that a
// dotfile manager has not made yet).
std::string LinkTarget(std::string path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer))
            return path;
        const std::string next(buffer, static_cast<std::size_t>(n));
        path = next[0] == '/' ? next : FolderOf(path) + "/" + next;
    }
    return path;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Puts text in place of target through a new file in the same folder.
bool ReplaceWith(int folderFd, const std::string& target, const std::string& text)
{
    std::string temporary = FolderOf(target) + "/." + target.substr(target.rfind('/') + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    bool ok = ::fchmod(fd, existed ? (old.st_mode & 07777) : NewFileMode()) == 0;
    if (existed) {
        // Only root can hand the file back to its owner; for anyone else it is theirs already.
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // What is there now must still be a plain file or nothing: never replace anything else.
    struct stat now {};
    if (ok && ::lstat(target.c_str(), &now) == 0 && !S_ISREG(now.st_mode))
        ok = false;
    if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    ::fsync(folderFd);  // the rename itself survives a crash
    return true;
}

}  // namespace

PlainFileText ReadPlainFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {errno == ENOENT, ""};
    if (!S_ISREG(info.st_mode))
        return {};
    // Looked at again once open, in case something else was put there; O_NONBLOCK keeps a
    // FIFO put there meanwhile from holding up the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    PlainFileText result;
    result.usable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    for (ssize_t n = 0; result.usable;) {
        n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            result.text.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            result = {};
    }
    ::close(fd);
    return result;
}

bool RewritePlainFile(const std::string& path, const std::function<std::string(const std::string&)>& edit)
{
    const std::string target = LinkTarget(path);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 ? !S_ISREG(info.st_mode) : errno != ENOENT)
        return false;  // not even the lock is taken beside a device
    const int folderFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    // Runs that end together take turns, so none writes back what it read before another wrote.
    while (::flock(folderFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    bool written = false;
    const PlainFileText current = ReadPlainFile(target);
    if (current.usable) {
        const std::string text = edit(current.text);
        written = text == current.text || ReplaceWith(folderFd, target, text);
    }
    ::close(folderFd);  // and with it the lock
    return written;
}

bool MakeFolders(const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}
