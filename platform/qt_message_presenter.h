// Messages as modal message boxes: window mode, and command-line runs started from a desktop
// with no terminal to print on.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/presenter.h"

class QtMessagePresenter : public Presenter {
public:
    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    // The window the boxes belong to (shown over it, kept in front of it); none centres them on the screen.
    void SetParentWindow(QWidget* window) { m_parentWindow = window; }

private:
    QPointer<QWidget> m_parentWindow;
};
