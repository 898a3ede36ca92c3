#include "platform/qt_log.h"

// Below the warning level, so no category writes anything until a rule turns it on.
Q_LOGGING_CATEGORY(lcSerial, "pellik32.serial", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLink, "pellik32.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "pellik32.store", QtWarningMsg)

void QtLinkLog::Write(const std::string& line)
{
    qCInfo(lcLink, "%s", line.c_str());
}

bool LogIsOn()
{
    return lcSerial().isDebugEnabled() || lcSerial().isInfoEnabled() || lcLink().isInfoEnabled() || lcStore().isInfoEnabled();
}
