// Window mode: shows frmPellik (loading its model), runs the event loop until the user closes it
// (which unloads the model) and gives the exit status. Needs a QApplication.
#pragma once

#include "loader/loader.h"
#include "ui/window_model.h"

class QtMessagePresenter;

// boxes is the run's presenter; its message boxes belong to the window while it is open.
int RunWindowMode(Loader& ld, WindowModel& model, QtMessagePresenter& boxes);
