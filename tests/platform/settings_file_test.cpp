// The store's INI text against QSettings itself, whose format it keeps: the same values
// read back from its files, its files from ours, and its own lines written for ours. And the
// port map, read byte for byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/ini_document.h"
#include "platform/port_map.h"
#include "tests/support/child_process.h"

namespace {

// QSettings caches a file it has read by size and time, so each case has a file of its own.
class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return m_dir.path().toStdString() + "/store" + std::to_string(m_case) + ".conf"; }
    QVariant ReadByQSettings()
    {
        QSettings settings(QString::fromStdString(Path()), QSettings::IniFormat);
        return settings.value("Settings/File");
    }
    std::optional<std::string> ReadByUs() { return FindIniValue(ReadIniLines(ReadTextFile(Path())), "Settings", "File"); }

    QTemporaryDir m_dir;
    int m_case = 0;
};

std::optional<std::string> AsText(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(",").toStdString();
    return value.toString().toStdString();
}

TEST_F(SettingsFileTest, ValuesWriteAndReadAsQSettingsDoes)
{
    for (const std::string value :
         {"", " 3 ", "a, b", "@Variant(x)", "@x", "semi;colon", "quote\"d", "back\\slash", "=equals=", "#hash",
          "caf\xC3\xA9", "tab\there", "two\nlines", "cr\rx", "ctl\x01" "1a", "del\x7F", "trail ", "\"q\"", "; c",
          "\\x41", "/dev/serial/by-id/usb-FTDI_a;b", "\tlead"}) {
        SCOPED_TRACE(value);
        ++m_case;
        {
            QSettings settings(QString::fromStdString(Path()), QSettings::IniFormat);
            settings.setValue("Settings/File", QString::fromStdString(value));
        }
        const std::string theirs = ReadTextFile(Path());
        EXPECT_EQ(ReadByUs(), value);
        const std::string ours = WriteIniValues("", {{"Settings", "File", value}});
        EXPECT_EQ(ours, theirs);
        ++m_case;
        WriteTextFile(Path(), ours);
        EXPECT_EQ(AsText(ReadByQSettings()), value);
    }
}

// What a hand-edited store may hold, read as QSettings reads it.
TEST_F(SettingsFileTest, HandWrittenValuesReadAsQSettingsReadsThem)
{
    for (const std::string raw : {"3 ; a comment", " spaced value  ", "a, b ,c", "\"a, b\" , c", "\"multi\nline\"",
                                  "x\\\ny", "\\x41\\x4a1\\101z", "@Invalid()", "@ByteArray(zz)", "\\q\\;",
                                  "\"x\"y", "  \"  lead\"  \r", "@@at", "\\", "a  \\", "\"unclosed"}) {
        SCOPED_TRACE(raw);
        ++m_case;
        WriteTextFile(Path(), "[Settings]\nFile=" + raw + "\nOther=1\n");
        EXPECT_EQ(ReadByUs(), AsText(ReadByQSettings()));
    }
}

TEST_F(SettingsFileTest, WritingChangesOnlyTheValuesWritten)
{
    const std::string before = "; mine\r\n[Window]\r\nTop=1\r\n\r\n[Settings]\nPort = 2 ; old\nPort=3\nMine=\"a;b\"\n"
                               "[Other]\nPort=9\n\n[Settings]\nBaud=9600\n# end\n";
    const std::string after = WriteIniValues(before, {{"Settings", "Port", " 4"}, {"Window", "Left", "5"},
                                                      {"Settings", "File", "x"}, {"Fresh", "Key", "@1"}});
    EXPECT_EQ(after, "; mine\r\n[Window]\r\nTop=1\nLeft=5\r\n\r\n[Settings]\nPort = 2 ; old\nPort=\" 4\"\n"
                     "Mine=\"a;b\"\n[Other]\nPort=9\n\n[Settings]\nBaud=9600\nFile=x\n# end\n\n[Fresh]\nKey=@@1\n");
    WriteTextFile(Path(), after);
    QSettings settings(QString::fromStdString(Path()), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Settings/Port").toString(), " 4");
    EXPECT_EQ(settings.value("Other/Port").toString(), "9");
    EXPECT_EQ(settings.value("Fresh/Key").toString(), "@1");
}

TEST(PortMap, ValuesAreTakenByteForByteFromThePortsSection)
{
    const std::string map = "\xEF\xBB\xBF; my boards\n\n[Ports]\r\n  COM7 = /dev/serial/by-id/usb-FTDI_a;b \r\n"
                            "#COM8=/dev/commented\nCOM9=/tmp/caf\xE9 chip\nCOM10=\n[Other]\nCOM11=/dev/x\n"
                            "[Ports]\nCOM3=ttyACM0\nCOM3=ttyACM1\n";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"COM7", "/dev/serial/by-id/usb-FTDI_a;b"}, {"COM8", std::nullopt}, {"COM9", "/tmp/caf\xE9 chip"},
        {"COM10", ""}, {"COM11", std::nullopt}, {"COM3", "ttyACM1"}, {"com3", std::nullopt}};
    for (const auto& [key, value] : cases)
        EXPECT_EQ(PortMapValue(map, key), value) << key;
}

TEST(PortMap, PortNumbersMapThroughTheMapElseToUsbAdaptersOrToNothing)
{
    QTemporaryDir config;
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QDir(config.path()).mkpath("App");
    WriteTextFile(config.path().toStdString() + "/App/ports.conf", "[Ports]\nCOM3=ttyACM1\nCOM7=/dev/by-id/x\nCOM9=\n");
    const std::pair<int, std::string> cases[] = {{1, "/dev/ttyUSB0"},   {3, "/dev/ttyACM1"}, {7, "/dev/by-id/x"},
                                                 {9, ""},               {10, "/dev/ttyUSB9"}, {32767, "/dev/ttyUSB32766"},
                                                 {32768, ""},           {0, ""},              {-1, ""}};
    for (const auto& [port, path] : cases)
        EXPECT_EQ(SerialDevicePath("App", port), path) << port;
    qputenv("XDG_CONFIG_HOME", before);
}

}  // namespace
