// One QApplication for all widget tests of a test program, created on first use and kept.
#pragma once

#include <QApplication>

inline void EnsureTestApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the process ends
}
