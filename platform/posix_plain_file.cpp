#include "platform/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string KindOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFCHR: return "a character device";
    case S_IFBLK: return "a block device";
    case S_IFIFO: return "a FIFO";
    case S_IFDIR: return "a folder";
    case S_IFSOCK: return "a socket";
    default: return "no regular file";
    }
}

std::string NotPlain(mode_t mode)
{
    return KindOf(mode) + ", not a plain file";
}

}  // namespace

std::string WhyNotPlainFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "" : std::strerror(errno);
    return S_ISREG(info.st_mode) ? "" : NotPlain(info.st_mode);
}

PlainFileText ReadPlainFile(const std::string& path)
{
    if (std::string why = WhyNotPlainFile(path); !why.empty())
        return {false, "", why};
    // Looked at again once open, in case something else was put there; O_NONBLOCK keeps a
    // FIFO put there meanwhile from holding up the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT, "", errno == ENOENT ? "" : std::strerror(errno)};
    PlainFileText result;
    struct stat info {};
    result.usable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!result.usable)
        result.why = NotPlain(info.st_mode);
    char buffer[65536];
    for (ssize_t n = 0; result.usable;) {
        n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            result.text.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            result = {false, "", std::strerror(errno)};
    }
    ::close(fd);
    return result;
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
