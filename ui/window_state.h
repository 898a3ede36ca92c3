// The main window's fields without a widget: what its boxes, check boxes, Close Port button and
// progress bar hold, and its serial control. Command-line runs use it hidden; the widget of
// window mode shows and edits the same fields.
#pragma once

#include <functional>
#include <optional>
#include <string>

class SerialControl;

struct WindowState {
    std::string txtPort;
    std::string txtBaud;
    std::string txtFilename;
    int chkUseBreakReset = 0;  // 0 clear, 1 checked, 2 grayed
    int chkDensePacking = 0;
    int chkWriteEeprom = 0;
    bool btnClosePortEnabled = false;
    int barProgress = 0;       // 0 to 100
    bool enabled = true;       // false while an operation runs
    bool minimized = false;
    std::optional<float> top;  // window position in twips; unknown until stored or shown
    std::optional<float> left;
    SerialControl* SerialPort = nullptr;

    // Set by a shown widget so it repaints what the loader wrote (port, baud, button, bar).
    std::function<void()> onChanged;
    void Changed() const
    {
        if (onChanged)
            onChanged();
    }
};
