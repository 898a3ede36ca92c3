// Messages as modal message boxes: window mode, and command-line runs started from a desktop
// with no terminal to print on.
#pragma once

#include "platform/presenter.h"

class QtMessagePresenter : public Presenter {
public:
    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
};
