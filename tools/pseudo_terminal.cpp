#include "tools/pseudo_terminal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string Why(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

bool PseudoTerminal::Open(const std::string& link, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        Close();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail(Why("posix_openpt"));
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail(Why("grantpt/unlockpt"));
    const char* name = ptsname(m_master);
    if (!name)
        return fail(Why("ptsname"));
    m_device = name;
    m_slave = open(m_device.c_str(), O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return fail(Why("open " + m_device));
    termios mode {};
    if (tcgetattr(m_slave, &mode) != 0)
        return fail(Why("tcgetattr"));
    cfmakeraw(&mode);
    if (tcsetattr(m_slave, TCSANOW, &mode) != 0)
        return fail(Why("tcsetattr"));
    // Answers must never block the loop when the client is slow to read.
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(Why("fcntl"));

    struct stat info {};
    if (lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return fail(link + " exists and is not a symbolic link");
        if (unlink(link.c_str()) != 0)
            return fail(Why("unlink " + link));
    }
    if (symlink(m_device.c_str(), link.c_str()) != 0)
        return fail(Why("symlink " + link));
    m_link = link;
    return true;
}

void PseudoTerminal::Close()
{
    if (!m_link.empty()) {
        // Another chip may have taken the name over since; its link stays.
        char target[PATH_MAX];
        const ssize_t length = readlink(m_link.c_str(), target, sizeof target - 1);
        if (length >= 0 && std::string(target, std::size_t(length)) == m_device)
            unlink(m_link.c_str());
        m_link.clear();
    }
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
    m_master = -1;
    m_slave = -1;
}

void PseudoTerminal::DiscardUnread()
{
    if (m_slave >= 0)
        tcflush(m_slave, TCIFLUSH);
}

int PseudoTerminal::UnreadByClient() const
{
    int count = 0;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &count) != 0)
        return 0;
    return count;
}
