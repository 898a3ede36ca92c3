// The program's log on Qt's logging categories, written to standard error and off unless the
// user turns it on: QT_LOGGING_RULES="pellik32.*=true".
#pragma once

#include <QLoggingCategory>

#include "platform/link_log.h"

Q_DECLARE_LOGGING_CATEGORY(lcSerial)  // "pellik32.serial": devices, opens, lines, bytes, errors
Q_DECLARE_LOGGING_CATEGORY(lcLink)    // "pellik32.link": the loader's lines
Q_DECLARE_LOGGING_CATEGORY(lcStore)   // "pellik32.store": the settings store's path, reads and writes

class QtLinkLog : public LinkLog {
public:
    void Write(const std::string& line) override;
};

// True when any line of the log would be written.
bool LogIsOn();
