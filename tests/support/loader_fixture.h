// Everything an in-process loader test needs: a Loader on virtual time with a fake serial
// control inside a fake window, and a presenter that records the messages.
#pragma once

#include <gtest/gtest.h>

#include "loader/loader.h"
#include "tests/support/fake_form.h"
#include "tests/support/fake_serial.h"
#include "tests/support/recording_presenter.h"
#include "tests/support/virtual_clock.h"

class LoaderFixture : public ::testing::Test {
protected:
    LoaderFixture();

    // Fields as a window operation sets them: standard packing, RAM, port 3 at 115200.
    void UseWindowDefaults();

    VirtualClock clock;
    FakeSerial serial{clock};
    RecordingPresenter presenter;
    FakeForm form;
    Loader ld{clock, presenter, form};
};
