#include "ui/widget/run_window.h"

#include <QApplication>

#include "platform/qt_file_dialog.h"
#include "platform/qt_message_presenter.h"
#include "platform/qt_signal_pipe.h"
#include "ui/widget/frm_pellik.h"

int RunWindowMode(Loader& ld, WindowModel& model, QtMessagePresenter& boxes)
{
    QtFileDialog dialog;
    FrmPellik window(ld, model, dialog);
    dialog.setParent(&window);
    boxes.SetParentWindow(&window);
    window.show();
    // Logout, kill and Ctrl-C in the launching terminal close the window as its close button does,
    // so its fields and place are stored.
    const QtSignalPipe closeOnSignal(EndingSignals(), [&window](int) { window.closeWhenIdle(); });
    QApplication::exec();
    return 0;
}
