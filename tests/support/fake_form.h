// The main window's state for in-process tests: counts loads and unloads, and on unload closes
// the port the way the real window does, without a settings store.
#pragma once

#include <functional>

#include "ui/form_state.h"

class FakeForm : public FormHost {
public:
    FormState& Use() override
    {
        if (!m_loaded) {
            m_loaded = true;
            ++loads;
            state.txtPort = "1";
            state.txtBaud = "115200";
        }
        return state;
    }
    void Unload() override
    {
        if (!m_loaded)
            return;
        if (onUnload)
            onUnload();
        ++unloads;
        m_loaded = false;
    }
    bool Loaded() const override { return m_loaded; }

    FormState state;
    int loads = 0;
    int unloads = 0;
    std::function<void()> onUnload;  // the fixture closes the port here

private:
    bool m_loaded = false;
};
