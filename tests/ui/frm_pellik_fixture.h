// A FrmPellik on the real window model (store in memory, fake serial control), with fake
// operations that record their calls and a file dialog that answers from a script.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/window_model_fixture.h"
#include "ui/widget/frm_pellik.h"

// One QApplication for all widget tests of the program, created on first use and kept.
inline void EnsureTestApplication()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

// The filters the Browse button asks for, exactly.
const std::vector<FileFilter> kImageFilters = {
    {"Image Files (*.eeprom,*.binary,*.eep,*.bin)", {"*.eeprom", "*.binary", "*.eep", "*.bin"}},
    {"Eeprom Files (*.eeprom,*.eep)", {"*.eeprom", "*.eep"}},
    {"Binary Files (*.binary,*.bin)", {"*.binary", "*.bin"}},
    {"All Files (*.*)", {"*"}}};

inline bool operator==(const FileFilter& a, const FileFilter& b)
{
    return a.description == b.description && a.patterns == b.patterns;
}

class ScriptedDialog : public FileDialog {
public:
    std::string ShowOpen(const std::string& title, const std::vector<FileFilter>& filters,
                         const std::string& initialPath) override
    {
        ++calls;
        lastTitle = title;
        lastFilters = filters;
        lastPath = initialPath;
        const std::string answer = answers.empty() ? "" : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;  // "" is a cancel
    int calls = 0;
    std::string lastTitle, lastPath;
    std::vector<FileFilter> lastFilters;
};

class FrmPellikTest : public WindowModelFixture {
protected:
    FrmPellikTest() { EnsureTestApplication(); }
    ~FrmPellikTest() override { m_window.reset(); }

    // Loads the model; set its state or the store first to play stored values.
    FrmPellik& Open(const Operations& ops)
    {
        m_window = std::make_unique<FrmPellik>(ld, model, dialog, ops);
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }
    FrmPellik& Open() { return Open(FakeOperations()); }
    // Operations that record their names in calls and run body, when it is set, inside each call.
    Operations FakeOperations()
    {
        const auto fake = [this](const char* name) {
            return [this, name](Loader& l) {
                calls.push_back(name);
                if (body)
                    body(l);
            };
        };
        return {fake("FindChips"), fake("IdentifyChip"), fake("DownloadImage"), fake("ShutdownChip"),
                fake("RebootChip"), {}};
    }

    template <typename T = QWidget>
    T* Child(const char* name)
    {
        T* child = m_window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
    std::string Text(const char* box) { return Child<QLineEdit>(box)->text().toStdString(); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    std::vector<std::string> calls;
    std::function<void(Loader&)> body;
    ScriptedDialog dialog;
    std::unique_ptr<FrmPellik> m_window;
};
