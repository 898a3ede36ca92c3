// Everything an in-process loader test needs: a Loader on virtual time with a fake serial
// control inside a fake window, and a presenter that records the messages.
#pragma once

#include <gtest/gtest.h>

#include "loader/loader.h"
#include "loader/serial_link.h"
#include "tests/support/fake_window.h"
#include "tests/support/fake_serial.h"
#include "tests/support/recording_presenter.h"
#include "tests/support/virtual_clock.h"

class LoaderFixture : public ::testing::Test {
protected:
    LoaderFixture()
    {
        window.state.SerialPort = &serial;
        serial.OnComm = [this] { SerialPort_OnComm(ld); };
        window.onUnload = [this] { ClosePort(ld); };
    }

    // Fields as a window operation sets them: standard packing, RAM, port 3 at 115200.
    void UseWindowDefaults()
    {
        ld.state.PortNumber = 3;
        ld.state.BaudText = "115200";
        ld.state.ZeroPattern = "001";
        ld.state.OnePattern = "011";
        ld.state.BootCommand = 1;
    }

    VirtualClock clock;
    FakeSerial serial{clock};
    RecordingPresenter presenter;
    FakeWindow window;
    Loader ld{clock, presenter, window};
};
