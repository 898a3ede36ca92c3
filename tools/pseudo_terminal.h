// The virtual chip's end of the line: a pseudo-terminal whose device the client reaches through a
// symbolic link, kept alive across the client's opens and closes.
#pragma once

#include <string>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() { Close(); }

    // Creates the pseudo-terminal in raw mode and points link at its device, replacing an
    // existing symbolic link (but no other kind of file). On failure *error says why.
    bool Open(const std::string& link, std::string* error);
    // Closes both ends, which the client sees as a lost line, and removes the link if it is still ours.
    void Close();
    // Drops what was written to the client and not yet read, as a reset chip leaves nothing behind.
    void DiscardUnread();
    // How many bytes written to the client it has not read yet.
    int UnreadByClient() const;

    int MasterFd() const { return m_master; }
    const std::string& DeviceName() const { return m_device; }

private:
    int m_master = -1;
    int m_slave = -1;  // held open so that a client's close does not hang up the master
    std::string m_link;
    std::string m_device;
};
