#include "platform/qt_message_presenter.h"

#include <QMessageBox>

void QtMessagePresenter::ShowMessage(MessageIcon icon, const std::string& title, const std::string& text)
{
    QString body = QString::fromStdString(text);
    body.replace("\r\n", "\n");
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromStdString(title), body, QMessageBox::Ok);
    // The usage text holds "<n>" and "<filename.ext>", which must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
