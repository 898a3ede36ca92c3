// A check box holding the window's values 0 (clear), 1 (checked) or 2 (grayed). Grayed comes
// only from a stored value; a click clears a checked or grayed box and checks a clear one.
#pragma once

#include <QCheckBox>

class OptionCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit OptionCheckBox(const QString& text, QWidget* parent = nullptr);

    int value() const;
    // Values other than 0, 1 and 2 show as clear.
    void setValue(int value);

protected:
    // Grayed counts as checked everywhere else, so a click on it clears the box like a
    // click on a checked one; the user never produces grayed.
    void nextCheckState() override;
};
