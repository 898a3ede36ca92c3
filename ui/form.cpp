#include "ui/form.h"

#include <utility>

#include "loader/loader_state.h"
#include "ui/stored_settings.h"

Form::Form(SerialFactory makeSerial, SettingsStore& store, std::string app)
    : m_makeSerial(std::move(makeSerial)), m_store(store), m_app(std::move(app))
{
}

Form::~Form()
{
    // The serial control may still call back into the owner; stop that before the owner goes.
    if (m_serial)
        m_serial->OnComm = nullptr;
}

void Form::SetOnComm(std::function<void()> onComm)
{
    m_onComm = std::move(onComm);
    if (m_serial)
        m_serial->OnComm = m_onComm;
}

void Form::SetClosePort(std::function<void()> closePort)
{
    m_closePort = std::move(closePort);
}

void Form::SetOnChanged(std::function<void()> onChanged)
{
    m_state.onChanged = std::move(onChanged);
}

FormState& Form::Use()
{
    if (!m_loaded)
        Load();
    return m_state;
}

void Form::Load()
{
    // The control lives as long as the form, so nothing holding it across an unload dangles.
    if (!m_serial && m_makeSerial) {
        m_serial = m_makeSerial();
        if (m_serial)
            m_serial->OnComm = m_onComm;
    }

    // A fresh load starts from the controls' initial values; only the owner's hook survives.
    FormState fresh;
    fresh.onChanged = std::move(m_state.onChanged);
    fresh.txtPort = "1";
    fresh.txtBaud = kDefaultBaud;
    fresh.SerialPort = m_serial.get();
    m_state = std::move(fresh);
    m_loaded = true;

    LoadStoredSettings(m_state, m_store, m_app);
}

void Form::Unload()
{
    if (!m_loaded)
        return;
    if (m_closePort)
        m_closePort();
    SaveStoredSettings(m_state, m_store, m_app);
    m_loaded = false;
}
