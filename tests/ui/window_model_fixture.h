// A Loader whose main window is the real WindowModel, on a settings store in memory and a fake
// serial control on virtual time, wired as the program wires them.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "loader/loader.h"
#include "loader/serial_link.h"
#include "tests/support/fake_serial.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/recording_presenter.h"
#include "tests/support/virtual_clock.h"
#include "ui/window_model.h"

class WindowModelFixture : public ::testing::Test {
protected:
    WindowModelFixture()
    {
        model.SetOnComm([this] { SerialPort_OnComm(ld); });
        model.SetClosePort([this] { ClosePort(ld); });
    }

    // The serial control the model made on its first load; looking does not load the window.
    FakeSerial& Serial() const { return *static_cast<FakeSerial*>(model.State().SerialPort); }
    // Each unload stores the settings in one flush.
    std::size_t Unloads() const { return store.flushes.size(); }

    VirtualClock clock;
    RecordingPresenter presenter;
    MemorySettingsStore store;
    WindowModel model{[this] { return std::make_unique<FakeSerial>(clock); }, store, "Pellik32"};
    Loader ld{clock, presenter, model};
};
