// The port map, read byte for byte, and where the program's own files live.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/config_folder.h"
#include "platform/port_map.h"
#include "tests/support/child_process.h"

namespace {

// Sets an environment variable for one scope; nullptr unsets it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(PortMap, ValuesAreTakenByteForByteFromThePortsSection)
{
    const std::string map = "\xEF\xBB\xBF; my boards\n\n[Ports]\r\n  COM7 = /dev/serial/by-id/usb-FTDI_a;b \r\n"
                            "#COM8=/dev/commented\nCOM9=/tmp/caf\xE9 chip\nCOM10=\n[Other]\nCOM11=/dev/x\n"
                            "[Ports]\nCOM3=ttyACM0\nCOM3=ttyACM1\rCOM4=cr-only\r[Other]\rCOM5=x\r";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"COM7", "/dev/serial/by-id/usb-FTDI_a;b"}, {"COM8", std::nullopt}, {"COM9", "/tmp/caf\xE9 chip"},
        {"COM10", ""}, {"COM11", std::nullopt}, {"COM3", "ttyACM1"}, {"com3", std::nullopt},
        {"COM4", "cr-only"}, {"COM5", std::nullopt}};
    for (const auto& [key, value] : cases)
        EXPECT_EQ(PortMapValue(map, key), value) << key;
}

TEST(PortMap, NamesLieUnderDevAndAMapThatCannotBeReadLeadsNowhere)
{
    QTemporaryDir config;
    const ScopedEnv xdg("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData());
    QDir(config.path()).mkpath("App");
    const std::string map = config.path().toStdString() + "/App/ports.conf";
    const std::pair<int, std::string> mapped[] = {
        {1, "/dev/ttyUSB0"},     {3, "/dev/ttyACM1"},      {4, "/dev/sub/ttyrel"},   {5, "/dev/./x"},
        {6, "/dev/pts/5"},       {7, "/dev/by-id/x"},      {9, ""},                  {10, "/dev/ttyUSB9"},
        {32767, "/dev/ttyUSB32766"}, {32768, ""},          {0, ""},                  {-1, ""}};
    WriteTextFile(map, "[Ports]\nCOM3=ttyACM1\nCOM4=sub/ttyrel\nCOM5=./x\nCOM6=pts/5\nCOM7=/dev/by-id/x\nCOM9=\n");
    for (const auto& [port, path] : mapped) {
        const PortDevice device = SerialDevice("App", port);
        EXPECT_EQ(device.path, path) << port;
        EXPECT_EQ(device.whyNone.empty(), !path.empty()) << port;
    }
    EXPECT_EQ(SerialDevice("App", 9).whyNone, "ports.conf maps it to no device");
    EXPECT_EQ(SerialDevice("App", 0).whyNone, "not in the port map's range (1 to 32767)");

    const std::pair<const char*, std::function<bool()>> unusable[] = {
        {"a FIFO", [&] { return ::mkfifo(map.c_str(), 0600) == 0; }},
        {"a folder", [&] { return ::mkdir(map.c_str(), 0700) == 0; }},
        {"a character device", [&] { return ::symlink("/dev/null", map.c_str()) == 0; }},
    };
    for (const auto& [kind, make] : unusable) {
        ::unlink(map.c_str());
        ::rmdir(map.c_str());
        ASSERT_TRUE(make()) << kind;
        const PortDevice device = SerialDevice("App", 1);
        EXPECT_EQ(device.path, "") << kind;
        EXPECT_EQ(device.whyNone, std::string("ports.conf cannot be read (") + kind + ", not a plain file)");
    }
}

TEST(ConfigFolder, OnlyAnAbsoluteFolderCounts)
{
    const struct {
        const char* xdg;
        const char* home;
        std::string folder;
    } cases[] = {{"/x", "/h", "/x/App"}, {"", "/h", "/h/.config/App"},  {"rel", "/h", "/h/.config/App"},
                 {nullptr, "/h", "/h/.config/App"}, {nullptr, "", ""}, {"", "rel", ""}, {nullptr, nullptr, ""}};
    for (const auto& c : cases) {
        const ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        const ScopedEnv home("HOME", c.home);
        EXPECT_EQ(ConfigFolder("App"), c.folder) << (c.xdg ? c.xdg : "unset") << " " << (c.home ? c.home : "unset");
        EXPECT_EQ(SettingsFilePath("App"), c.folder.empty() ? "" : c.folder + "/App.conf");
    }
}

}  // namespace
