// A push button that Return and Enter press as Space does, while it is no default button: the
// window has none, so a key pressed in a text box never runs an operation.
#pragma once

#include <QPushButton>

class EnterKeyButton : public QPushButton {
    Q_OBJECT
public:
    explicit EnterKeyButton(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
