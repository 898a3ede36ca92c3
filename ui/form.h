// frmPellik without a widget: its state is created and filled from the settings store on first
// use, and its unload closes the port and stores the fields. Both run modes go through it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/serial_control.h"
#include "platform/settings_store.h"
#include "ui/form_state.h"

class Form : public FormHost {
public:
    using SerialFactory = std::function<std::unique_ptr<SerialControl>()>;

    // app names the settings store's application (the executable's name without extension).
    Form(SerialFactory makeSerial, SettingsStore& store, std::string app);
    ~Form() override;

    // Wired by the owner: the serial control's receive event and the port closing of the unload.
    void SetOnComm(std::function<void()> onComm);
    void SetClosePort(std::function<void()> closePort);
    // Kept across loads, so a hook set before the first load sees every change.
    void SetOnChanged(std::function<void()> onChanged);
    // The state as it stands, without loading the window.
    const FormState& State() const { return m_state; }

    FormState& Use() override;
    void Unload() override;
    bool Loaded() const override { return m_loaded; }

private:
    void Load();

    SerialFactory m_makeSerial;
    SettingsStore& m_store;
    std::string m_app;
    std::function<void()> m_onComm;
    std::function<void()> m_closePort;
    std::unique_ptr<SerialControl> m_serial;
    FormState m_state;
    bool m_loaded = false;
};
