#include "tests/e2e/e2e_fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "tests/support/file_wait.h"

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ToolsDir()
{
    const std::string chip = Env("VIRTUAL_CHIP_BIN");
    return chip.substr(0, chip.rfind('/'));
}

}  // namespace

void EndToEnd::SetUp()
{
    if (Env("VIRTUAL_CHIP_BIN").empty() || Env("PELLIK32_BIN").empty())
        GTEST_SKIP() << "needs PELLIK32_BIN and VIRTUAL_CHIP_BIN";
    m_folder = MakeTempFolder();
}

void EndToEnd::TearDown()
{
    for (auto& [n, pid] : m_chips)
        StopChild(pid);
}

void EndToEnd::StartChip(int n, const std::vector<std::string>& options, std::string link)
{
    if (link.empty())
        link = m_folder + "/ttyChip" + std::to_string(n);
    const std::string out = m_folder + "/chip" + std::to_string(n) + ".out";
    std::vector<std::string> argv = {Env("VIRTUAL_CHIP_BIN"), "--link", link, "--log",
                                     m_folder + "/chip" + std::to_string(n) + ".log"};
    argv.insert(argv.end(), options.begin(), options.end());
    // A chip started earlier for the same port left its "ready" in this file.
    std::remove(out.c_str());
    m_chips[n] = StartChild(argv, out);
    m_links[n] = link;
    ASSERT_TRUE(WaitForFileText(out, "ready", 5000)) << "virtual chip did not start";
}

void EndToEnd::WritePorts()
{
    std::string text = "[Ports]\n";
    for (int n = 1; n <= 10; ++n) {
        const auto link = m_links.find(n);
        text += "COM" + std::to_string(n) + "=" +
                (link != m_links.end() ? link->second : m_folder + "/no-such-device" + std::to_string(n)) + "\n";
    }
    mkdir((m_folder + "/config").c_str(), 0755);
    mkdir((m_folder + "/config/Pellik32").c_str(), 0755);
    WriteTextFile(PortsFile(), text);
}

void EndToEnd::WriteSettings(const std::string& text)
{
    mkdir((m_folder + "/config").c_str(), 0755);
    mkdir((m_folder + "/config/Pellik32").c_str(), 0755);
    WriteTextFile(SettingsFile(), text);
}

ChildResult EndToEnd::Run(const std::vector<std::string>& args, std::map<std::string, std::string> env, int timeoutMs,
                          ChildOutput output, int runAs)
{
    std::vector<std::string> argv = {Env("PELLIK32_BIN")};
    argv.insert(argv.end(), args.begin(), args.end());
    env.emplace("XDG_CONFIG_HOME", m_folder + "/config");
    env.emplace("HOME", m_folder);
    env.emplace("PATH", "/usr/bin:/bin");
    return RunChild(argv, env, timeoutMs, output, runAs);
}

std::string EndToEnd::MakeImage(int size)
{
    const std::string path = m_folder + "/image" + std::to_string(size) + ".binary";
    const ChildResult made = RunChild({ToolsDir() + "/make_sample_image", path, std::to_string(size)}, {}, 10000);
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return path;
}

std::string EndToEnd::ChipLog(int n) const
{
    return ReadTextFile(m_folder + "/chip" + std::to_string(n) + ".log");
}

bool EndToEnd::WaitForChipEvent(int n, const std::string& event, int timeoutMs) const
{
    return WaitForFileText(m_folder + "/chip" + std::to_string(n) + ".log", "{\"event\":\"" + event + "\"", timeoutMs);
}

std::string EndToEnd::SettingsFile() const
{
    return m_folder + "/config/Pellik32/Pellik32.conf";
}

std::string EndToEnd::PortsFile() const
{
    return m_folder + "/config/Pellik32/ports.conf";
}

bool EndToEnd::SettingsFileExists() const
{
    struct stat info {};
    return stat(SettingsFile().c_str(), &info) == 0;
}

std::string Printed(const std::string& text)
{
    std::string out = "Ulvane Propeller Downloader 2.00\n";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out + "\n";
}

std::string Sha256OfFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "";
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex().toStdString();
}
