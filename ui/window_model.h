// frmPellik's state and lifetime without a widget: loaded on first use from the settings store,
// unloaded with the port closed and the settings stored. Command-line runs use it alone; the
// widget FrmPellik shows and edits it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "loader/main_window.h"
#include "platform/serial_control.h"
#include "platform/settings_store.h"
#include "ui/window_state.h"

class WindowModel : public MainWindow {
public:
    using SerialFactory = std::function<std::unique_ptr<SerialControl>()>;

    // app names the settings store's application (the executable's name without extension).
    WindowModel(SerialFactory makeSerial, SettingsStore& store, std::string app);
    ~WindowModel() override;

    // Wired by the owner: the serial control's receive event and the port closing of the unload.
    void SetOnComm(std::function<void()> onComm);
    void SetClosePort(std::function<void()> closePort);
    // Kept across loads, so a hook set before the first load sees every change.
    void SetOnChanged(std::function<void()> onChanged);
    // The state as it stands, without loading the window.
    const WindowState& State() const { return m_state; }
    bool Loaded() const { return m_loaded; }
    // Loads the window if it is not loaded yet and gives its state.
    WindowState& Load();

    // MainWindow: each write tells the onChanged hook, when it changed anything.
    SerialControl& SerialPort() override;
    void SetPortText(const std::string& text) override;
    void SetBaudText(const std::string& text) override;
    void SetClosePortEnabled(bool enabled) override;
    void SetProgress(int percent) override;
    void Unload() override;

private:
    void LoadFromStore();
    template <typename T>
    void WriteField(T WindowState::*field, const T& value);

    SerialFactory m_makeSerial;
    SettingsStore& m_store;
    std::string m_app;
    std::function<void()> m_onComm;
    std::function<void()> m_closePort;
    std::unique_ptr<SerialControl> m_serial;
    WindowState m_state;
    bool m_loaded = false;
};
