// The main window for in-process tests: its fields without a settings store, counting loads and
// unloads; on unload it closes the port the way the real window does.
#pragma once

#include <functional>

#include "loader/main_window.h"
#include "ui/window_state.h"

class FakeWindow : public MainWindow {
public:
    // Loads the window on first use, as every MainWindow call does, and gives its fields.
    WindowState& Load()
    {
        if (!m_loaded) {
            m_loaded = true;
            ++loads;
            state.txtPort = "1";
            state.txtBaud = "115200";
        }
        return state;
    }
    bool Loaded() const { return m_loaded; }

    SerialControl& SerialPort() override { return *Load().SerialPort; }
    void SetPortText(const std::string& text) override { Write(&WindowState::txtPort, text); }
    void SetBaudText(const std::string& text) override { Write(&WindowState::txtBaud, text); }
    void SetClosePortEnabled(bool enabled) override { Write(&WindowState::btnClosePortEnabled, enabled); }
    void SetProgress(int percent) override { Write(&WindowState::barProgress, percent); }
    void Unload() override
    {
        if (!m_loaded)
            return;
        if (onUnload)
            onUnload();
        ++unloads;
        m_loaded = false;
    }

    WindowState state;
    int loads = 0;
    int unloads = 0;
    std::function<void()> onUnload;  // the fixture closes the port here

private:
    template <typename T>
    void Write(T WindowState::*field, const T& value)
    {
        Load().*field = value;
        state.Changed();
    }

    bool m_loaded = false;
};
