#include "ui/widget/run_window.h"

#include <QApplication>

#include "platform/qt_file_dialog.h"
#include "ui/widget/frm_pellik.h"

int RunWindowMode(Loader& ld, FormHost& host)
{
    QtFileDialog dialog;
    FrmPellik window(ld, host, dialog);
    dialog.setParent(&window);
    window.show();
    QApplication::exec();
    return 0;
}
