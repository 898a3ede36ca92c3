#include "ui/widget/run_window.h"

#include <QApplication>

#include "platform/qt_file_dialog.h"
#include "platform/qt_message_presenter.h"
#include "ui/widget/frm_pellik.h"

int RunWindowMode(Loader& ld, WindowModel& model, QtMessagePresenter& boxes)
{
    QtFileDialog dialog;
    FrmPellik window(ld, model, dialog);
    dialog.setParent(&window);
    boxes.SetParentWindow(&window);
    window.show();
    QApplication::exec();
    return 0;
}
