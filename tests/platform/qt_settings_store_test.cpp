// The store on QSettings: an unload writes only what differs from what the load read.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

#include "platform/qt_settings_store.h"
#include "tests/support/child_process.h"

namespace {

ino_t InodeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

TEST(QtSettingsStore, OnlyChangedValuesAreWrittenAndOthersChangesSurvive)
{
    QTemporaryDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    const std::string file = config.path().toStdString() + "/App/App.conf";
    ::mkdir((config.path().toStdString() + "/App").c_str(), 0700);
    WriteTextFile(file, "[Settings]\nPort=2\nBaud=9600\n");
    const ino_t inode = InodeOf(file);

    QtSettingsStore unchanged;
    for (const char* key : {"Port", "Baud"})
        unchanged.SaveSetting("App", "Settings", key, unchanged.GetSetting("App", "Settings", key, ""));
    unchanged.Flush("App");
    EXPECT_EQ(InodeOf(file), inode) << "a run that changed nothing wrote the store";

    QtSettingsStore changed;
    const std::string baud = changed.GetSetting("App", "Settings", "Baud", "");
    changed.GetSetting("App", "Settings", "Port", "");
    WriteTextFile(file, "[Settings]\nPort=2\nBaud=57600\n");  // another program, meanwhile
    changed.SaveSetting("App", "Settings", "Port", "5");
    changed.SaveSetting("App", "Settings", "Baud", baud);
    changed.Flush("App");
    EXPECT_EQ(ReadTextFile(file), "[Settings]\nBaud=57600\nPort=5\n");
}

}  // namespace
