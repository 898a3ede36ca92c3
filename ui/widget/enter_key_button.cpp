#include "ui/widget/enter_key_button.h"

#include <QKeyEvent>

EnterKeyButton::EnterKeyButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void EnterKeyButton::keyPressEvent(QKeyEvent* event)
{
    // QPushButton clicks on these keys only when it is a default button; the keypad's Enter
    // carries the keypad modifier.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
