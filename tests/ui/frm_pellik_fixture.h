// A FrmPellik on the loader fixture's fake window state, with fake operations that record their
// calls and a file dialog that answers from a script.
#pragma once

#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/loader_fixture.h"
#include "tests/ui/test_application.h"
#include "ui/widget/frm_pellik.h"

class ScriptedDialog : public FileDialog {
public:
    struct Call {
        std::string title;
        std::vector<FileFilter> filters;
        std::string initialPath;
    };
    std::string ShowOpen(const std::string& title, const std::vector<FileFilter>& filters,
                         const std::string& initialPath) override
    {
        calls.push_back({title, filters, initialPath});
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;  // "" is a cancel
    std::vector<Call> calls;
};

// The fake operations report here; body, when set, runs inside each call.
struct FakeOperationLog {
    std::vector<std::string> calls;
    std::function<void(Loader&)> body;
};
FakeOperationLog& FakeOperations();
WindowOperations FakeWindowOperations();

class FrmPellikTest : public LoaderFixture {
protected:
    FrmPellikTest();
    ~FrmPellikTest() override;

    // Loads the window through the fake host; set form.state first to play stored values.
    FrmPellik& Open(bool show = true);

    template <typename T = QWidget>
    T* Child(const char* name)
    {
        T* child = m_window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    ScriptedDialog dialog;
    std::unique_ptr<FrmPellik> m_window;
};
