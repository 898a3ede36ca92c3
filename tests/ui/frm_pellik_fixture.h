// A FrmPellik on the loader fixture's fake window state, with fake operations that record their
// calls and a file dialog that answers from a script.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

#include "tests/support/loader_fixture.h"
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

// The fake operations record their names here; body, when set, runs inside each call.
struct FakeOperations {
    static inline std::vector<std::string> calls;
    static inline std::function<void(Loader&)> body;
    static void Record(const char* name, Loader& ld)
    {
        calls.push_back(name);
        if (body)
            body(ld);
    }
};

class FrmPellikTest : public LoaderFixture {
protected:
    FrmPellikTest()
    {
        EnsureTestApplication();
        FakeOperations::calls.clear();
        FakeOperations::body = nullptr;
    }
    ~FrmPellikTest() override
    {
        m_window.reset();
        FakeOperations::body = nullptr;
    }

    // Loads the window through host (the fake one by default); set its state first to play stored values.
    FrmPellik& Open(Loader& l, FormHost& host, const WindowOperations& ops)
    {
        m_window = std::make_unique<FrmPellik>(l, host, dialog, ops);
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        return *m_window;
    }
    FrmPellik& Open() { return Open(ld, form, FakeWindowOperations()); }
    static WindowOperations FakeWindowOperations()
    {
        WindowOperations ops;
        ops.FindChips = [](Loader& l) { FakeOperations::Record("FindChips", l); };
        ops.IdentifyChip = [](Loader& l) { FakeOperations::Record("IdentifyChip", l); };
        ops.DownloadImage = [](Loader& l) { FakeOperations::Record("DownloadImage", l); };
        ops.ShutdownChip = [](Loader& l) { FakeOperations::Record("ShutdownChip", l); };
        ops.RebootChip = [](Loader& l) { FakeOperations::Record("RebootChip", l); };
        return ops;
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

    ScriptedDialog dialog;
    std::unique_ptr<FrmPellik> m_window;
};
