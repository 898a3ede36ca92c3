// Window mode: shows frmPellik (loading it through host), runs the event loop until the user
// closes it (which unloads it) and gives the exit status. Needs a QApplication.
#pragma once

#include "loader/loader.h"

class QtMessagePresenter;

// boxes is the run's presenter; its message boxes belong to the window while it is open.
int RunWindowMode(Loader& ld, FormHost& host, QtMessagePresenter& boxes);
