#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/qt_settings_store.h"

namespace {

// QSettings reads XDG_CONFIG_HOME once per process, so the whole suite shares one fresh folder
// and each test uses its own application name.
class QtSettingsStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_home = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", s_home->path().toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        delete s_home;
        s_home = nullptr;
    }

    std::string App() const
    {
        return std::string("StoreTest_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    QString FilePath() const
    {
        const QString app = QString::fromStdString(App());
        return s_home->path() + "/" + app + "/" + app + ".conf";
    }
    QByteArray FileText() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& contents) const
    {
        QDir().mkpath(QFileInfo(FilePath()).path());
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    static QTemporaryDir* s_home;
    QtSettingsStore store;
};

QTemporaryDir* QtSettingsStoreTest::s_home = nullptr;

TEST_F(QtSettingsStoreTest, TextsReadBackUnchanged)
{
    for (const std::string value : {"", " 3 ", "a, b", "@Variant(x)", "semi;colon", "quote\"d", "back\\slash",
                                    "=equals=", "#hash", "caf\xC3\xA9", "/dev/serial/by-id/usb-FTDI_A-if00-port0",
                                    "1.5e3", "true"}) {
        store.SaveSetting(App(), "Settings", "File", value);
        EXPECT_EQ(store.GetSetting(App(), "Settings", "File", "<default>"), value);
    }
}

// The file's place and its [Settings] lines are checked end to end with the program itself.
TEST_F(QtSettingsStoreTest, UsersPortsAreReadAtEachLookupAndSurviveEverySave)
{
    EXPECT_EQ(SerialDevicePath(store, App(), 3), "/dev/ttyUSB2");
    EXPECT_FALSE(QFile::exists(FilePath()));  // reading creates no file
    WriteFile("[Ports]\nCOM3=/dev/ttyACM0\nCOM12=/tmp/my chip\n");
    EXPECT_EQ(SerialDevicePath(store, App(), 3), "/dev/ttyACM0");
    store.SaveSetting(App(), "Window", "Top", "1200");
    store.SaveSetting(App(), "Settings", "Port", "3");
    EXPECT_EQ(SerialDevicePath(store, App(), 12), "/tmp/my chip");
    EXPECT_TRUE(FileText().contains("COM3=/dev/ttyACM0"));
}

TEST_F(QtSettingsStoreTest, PortNumbersMapToUsbAdaptersOrToNothing)
{
    const std::pair<int, std::string> cases[] = {
        {1, "/dev/ttyUSB0"}, {10, "/dev/ttyUSB9"}, {32767, "/dev/ttyUSB32766"}, {0, ""}, {-1, ""},
    };
    for (const auto& [port, path] : cases)
        EXPECT_EQ(SerialDevicePath(store, App(), port), path) << port;
}

}  // namespace
