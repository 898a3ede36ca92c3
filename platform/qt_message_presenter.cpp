#include "platform/qt_message_presenter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

// Qt's own limit: a message box never grows wider than this and wraps anywhere beyond it.
int MaxBoxWidth(const QScreen& screen)
{
    const int width = screen.availableGeometry().width();
    return width <= 1024 ? width : std::min(width - 480, 1000);
}

// A message box wraps its text at about 500 pixels, which breaks the usage lines; give the text
// the width of its longest line instead, as long as the box still fits within Qt's limit.
void KeepLinesWhole(QMessageBox& box, QLabel& label)
{
    const QFontMetrics metrics = label.fontMetrics();
    int widest = 0;
    // Trailing blanks count: the tab that ends the usage text would wrap onto a line of its own.
    for (const QString& line : label.text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    label.setMinimumWidth(widest);
    if (box.layout()->totalMinimumSize().width() > MaxBoxWidth(*box.screen()))
        label.setMinimumWidth(0);
}

}  // namespace

void QtMessagePresenter::ShowMessage(MessageIcon icon, const std::string& title, const std::string& text)
{
    QString body = QString::fromStdString(text);
    body.replace("\r\n", "\n");
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromStdString(title), body, QMessageBox::Ok, m_parentWindow.data());
    // The usage text holds "<n>" and "<filename.ext>", which must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text() == body)
            KeepLinesWhole(box, *label);
    }
    // A box at the end of an operation wants a click, busy cursor or not.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}
