// How the window behaves toward the keyboard and its message boxes: Return and Enter press the
// focused button, and a box belongs to the window and shows the usage lines whole.
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "cli/usage.h"
#include "platform/qt_message_presenter.h"
#include "tests/ui/frm_pellik_fixture.h"

namespace {

TEST_F(FrmPellikTest, ReturnAndEnterPressTheFocusedButtonWhichNeverBecomesTheDefault)
{
    Open();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}, {Qt::Key_Space, Qt::NoModifier}};
    for (const auto& [key, modifiers] : keys) {
        calls.clear();
        Button("btnFind")->setFocus();
        QTest::keyClick(Button("btnFind"), key, modifiers);
        EXPECT_EQ(calls, std::vector<std::string>{"FindChips"}) << key;
    }
    // A key in a text box reaches no button.
    calls.clear();
    QTest::keyClick(Child<QLineEdit>("txtPort"), Qt::Key_Return);
    EXPECT_TRUE(calls.empty());
    for (const QPushButton* button : m_window->findChildren<QPushButton*>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->objectName().toStdString();
}

TEST_F(FrmPellikTest, AMessageBoxBelongsToTheWindowAndShowsEachUsageLineUnwrapped)
{
    FrmPellik& w = Open();
    QtMessagePresenter boxes;
    boxes.SetParentWindow(&w);
    w.setEnabled(false);  // as while an operation runs
    const std::string usage = "Command Line Options ...\r\n\r\n" + UsageText("/");

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->parentWidget(), &w);
        EXPECT_EQ(box->windowHandle()->transientParent(), w.windowHandle());
        EXPECT_TRUE(box->isEnabled());
        const QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        // Unwrapped: the text is as high at the label's width as with all the room it could want.
        EXPECT_EQ(label->heightForWidth(label->contentsRect().width()), label->heightForWidth(10000));
        QTest::keyClick(box, Qt::Key_Return);  // OK is the box's default button
    });
    boxes.ShowMessage(MessageIcon::Information, "Title", usage);
    EXPECT_TRUE(seen);
}

}  // namespace
