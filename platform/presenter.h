// Where every message of the program goes: a message box, or the terminal in a command-line run.
#pragma once

#include <string>

enum class MessageIcon { Warning, Information };

class Presenter {
public:
    virtual ~Presenter() = default;
    // Shows one message with a single OK button; returns when it has been dismissed.
    virtual void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) = 0;
};
