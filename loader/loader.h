// The loader's context: the shared record and the platform parts its procedures reach.
// Every loader procedure takes it first; nothing in loader/ reads the time or sleeps on its own.
#pragma once

#include <functional>
#include <string>

#include "loader/loader_state.h"
#include "loader/main_window.h"
#include "platform/event_clock.h"
#include "platform/link_log.h"
#include "platform/presenter.h"

struct Loader {
    Loader(EventClock& c, Presenter& p, MainWindow& w, LinkLog& l = NoLinkLog())
        : clock(c), presenter(p), frmPellik(w), linkLog(l)
    {
    }

    LoaderState state;
    EventClock& clock;
    Presenter& presenter;
    MainWindow& frmPellik;
    LinkLog& linkLog;  // why a connection or an answer failed, for the user who turns the log on
    // The program's argument text as the platform delivered it (untrimmed); "" in window mode.
    std::string argumentText;
    // Counts ReportError calls; a command-line run exits 1 when any was made.
    int errorsReported = 0;
    // Why the last port opening failed, as a line for the user; "" when it opened.
    std::string openFailure;
    // True while a loader wait runs: only then does anything read RxBuffer.
    bool listening = false;
    // Takes the bytes received while no loader wait runs (the terminal); none drops them, so an
    // open port between operations hoards nothing.
    std::function<void(const ByteString&)> receiver;
};
