#include "platform/qt_settings_store.h"

#include <QSettings>
#include <QStringList>

namespace {

QString KeyPath(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}

}  // namespace

// A fresh QSettings per access: it rereads the file, so a "Ports" entry the user edits while
// the program runs counts at the next open, and every other section is kept on write.
std::string QtSettingsStore::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                        const std::string& defaultValue)
{
    const QString name = QString::fromStdString(app);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, name, name);
    const QVariant value = settings.value(KeyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-written value with an unquoted comma reads as a list; take it back as one text.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(",").toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                  const std::string& value)
{
    const QString name = QString::fromStdString(app);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, name, name);
    settings.setValue(KeyPath(section, key), QString::fromStdString(value));
}

std::string SerialDevicePath(SettingsStore& store, const std::string& app, int port)
{
    if (port < 1)
        return "";
    return store.GetSetting(app, "Ports", "COM" + std::to_string(port), "/dev/ttyUSB" + std::to_string(port - 1));
}
