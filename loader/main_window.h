// What the operations need of the main window frmPellik: the serial control it owns and the
// fields the link and the download write. Implemented in ui/; the loader never sees a widget.
#pragma once

#include <string>

class SerialControl;

class MainWindow {
public:
    virtual ~MainWindow() = default;
    // Each of these loads the window on first use, which restores the stored settings.
    virtual SerialControl& SerialPort() = 0;
    virtual void SetPortText(const std::string& text) = 0;
    virtual void SetBaudText(const std::string& text) = 0;
    virtual void SetClosePortEnabled(bool enabled) = 0;
    virtual void SetProgress(int percent) = 0;
    // Closes the port and stores the settings if the window is loaded; otherwise does nothing.
    virtual void Unload() = 0;
};
