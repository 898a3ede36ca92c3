// End-to-end runs of the real Pellik32 against virtual chips on pseudo-terminals, each test with
// its own settings folder whose port map points COM ports at the chips.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/child_process.h"

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a virtual chip for COM port n with the given options; waits until it listens on
    // link (ttyChip<n> in the test's folder by default).
    void StartChip(int n, const std::vector<std::string>& options = {}, std::string link = "");
    // Writes the port map: COM ports with a chip lead to it, all others to a missing device.
    void WritePorts();
    void WriteSettings(const std::string& text);
    // env adds to (or, with "", empties) the private XDG_CONFIG_HOME, HOME and PATH; runAs as RunChild's.
    ChildResult Run(const std::vector<std::string>& args, std::map<std::string, std::string> env = {},
                    int timeoutMs = 60000, ChildOutput output = ChildOutput::Pipes, int runAs = -1);
    // A sample image of the given size made by the project's tool.
    std::string MakeImage(int size);
    std::string ChipLog(int n) const;
    // Waits until chip n has logged the event (for instance "eeprom_wait"); false on timeout.
    bool WaitForChipEvent(int n, const std::string& event, int timeoutMs = 20000) const;
    std::string SettingsFile() const;
    std::string PortsFile() const;
    bool SettingsFileExists() const;

    std::string m_folder;
    std::map<int, pid_t> m_chips;
    std::map<int, std::string> m_links;
};

// The message exactly as a terminal run prints it: the title line, then the text.
std::string Printed(const std::string& text);
std::string Sha256OfFile(const std::string& path);
