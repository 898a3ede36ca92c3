#include "ui/window_model.h"

#include <utility>

#include "ui/stored_settings.h"

WindowModel::WindowModel(SerialFactory makeSerial, SettingsStore& store, std::string app)
    : m_makeSerial(std::move(makeSerial)), m_store(store), m_app(std::move(app))
{
}

WindowModel::~WindowModel()
{
    // The serial control may still call back into the owner; stop that before the owner goes.
    if (m_serial)
        m_serial->OnComm = nullptr;
}

void WindowModel::SetOnComm(std::function<void()> onComm)
{
    m_onComm = std::move(onComm);
    if (m_serial)
        m_serial->OnComm = m_onComm;
}

void WindowModel::SetClosePort(std::function<void()> closePort)
{
    m_closePort = std::move(closePort);
}

void WindowModel::SetOnChanged(std::function<void()> onChanged)
{
    m_state.onChanged = std::move(onChanged);
}

WindowState& WindowModel::Load()
{
    if (!m_loaded)
        LoadFromStore();
    return m_state;
}

void WindowModel::LoadFromStore()
{
    // The control lives as long as the model, so nothing holding it across an unload dangles.
    if (!m_serial && m_makeSerial) {
        m_serial = m_makeSerial();
        if (m_serial)
            m_serial->OnComm = m_onComm;
    }

    // A fresh load starts from the controls' initial values, which the store then fills; only
    // the owner's hook survives.
    WindowState fresh;
    fresh.onChanged = std::move(m_state.onChanged);
    fresh.SerialPort = m_serial.get();
    m_state = std::move(fresh);
    m_loaded = true;

    LoadStoredSettings(m_state, m_store, m_app);
}

template <typename T>
void WindowModel::WriteField(T WindowState::*field, const T& value)
{
    WindowState& state = Load();
    if (state.*field == value)
        return;
    state.*field = value;
    state.Changed();
}

SerialControl& WindowModel::SerialPort()
{
    return *Load().SerialPort;
}

void WindowModel::SetPortText(const std::string& text)
{
    WriteField(&WindowState::txtPort, text);
}

void WindowModel::SetBaudText(const std::string& text)
{
    WriteField(&WindowState::txtBaud, text);
}

void WindowModel::SetClosePortEnabled(bool enabled)
{
    WriteField(&WindowState::btnClosePortEnabled, enabled);
}

void WindowModel::SetProgress(int percent)
{
    WriteField(&WindowState::barProgress, percent);
}

void WindowModel::Unload()
{
    if (!m_loaded)
        return;
    if (m_closePort)
        m_closePort();
    SaveStoredSettings(m_state, m_store, m_app);
    m_loaded = false;
}
