// The loader's context: the shared record and the platform parts its procedures reach.
// Every loader procedure takes it first; nothing in loader/ reads the time or sleeps on its own.
#pragma once

#include <string>

#include "loader/loader_state.h"
#include "platform/event_clock.h"
#include "platform/presenter.h"
#include "ui/form_state.h"

struct Loader {
    Loader(EventClock& c, Presenter& p, FormHost& f) : clock(c), presenter(p), frmPellik(f) {}

    LoaderState state;
    EventClock& clock;
    Presenter& presenter;
    FormHost& frmPellik;
    // The program's argument text as the platform delivered it (untrimmed); "" in window mode.
    std::string argumentText;
    // Counts ReportError calls; a command-line run exits 1 when any was made.
    int errorsReported = 0;
};
