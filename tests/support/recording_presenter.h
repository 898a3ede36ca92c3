// A presenter that keeps every message instead of showing it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/presenter.h"

class RecordingPresenter : public Presenter {
public:
    struct Message {
        MessageIcon icon;
        std::string title;
        std::string text;
    };
    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        messages.push_back({icon, title, text});
        if (onShow)
            onShow(messages.back());
    }
    std::vector<Message> messages;
    std::function<void(const Message&)> onShow;  // e.g. to look at the window while a box is up
};
