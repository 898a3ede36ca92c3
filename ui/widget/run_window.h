// Window mode: shows frmPellik (loading it through host), runs the event loop until the user
// closes it (which unloads it) and gives the exit status. Needs a QApplication.
#pragma once

#include "loader/loader.h"

int RunWindowMode(Loader& ld, FormHost& host);
