#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/terminal_presenter.h"
#include "platform/terminal_progress.h"

namespace {

// A stream in memory that a test can read back.
struct Capture {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    ~Capture() { std::fclose(file); std::free(data); }
    std::string Text() { std::fflush(file); return std::string(data, size); }
};

TEST(TerminalPresenter, InformationGoesToOutputWarningsToErrorTitleFirstAndCrLfBecomesALineEnd)
{
    Capture out, err;
    TerminalPresenter presenter(out.file, err.file);
    presenter.ShowMessage(MessageIcon::Information, "Title", "Line 1\r\n\r\nLine 3\t ");
    presenter.ShowMessage(MessageIcon::Warning, "Title", "No Download Filename Specified\r\n\r\n-com:3");
    EXPECT_EQ(out.Text(), "Title\nLine 1\n\nLine 3\t \n");
    EXPECT_EQ(err.Text(), "Title\nNo Download Filename Specified\n\n-com:3\n");
    EXPECT_EQ(TerminalText("a\r\nb\nc\rd\r"), "a\nb\nc\rd\r");
}

TEST(TerminalProgress, DrawsOnChangeAndIsErasedBeforeAMessage)
{
    Capture err;
    TerminalProgress progress(err.file, true);
    TerminalPresenter presenter(err.file, err.file);
    presenter.SetBeforeMessage([&] { progress.Erase(); });

    progress.Follow(0);  // a freshly loaded window: nothing to show
    progress.Follow(50);
    progress.Follow(50);  // unchanged: not drawn again
    progress.Follow(100);
    presenter.ShowMessage(MessageIcon::Information, "T", "done");
    progress.Follow(100);  // unchanged after the message: stays erased
    EXPECT_EQ(err.Text(), "\r[" + std::string(20, '#') + std::string(20, ' ') + "]  50%" + "\r[" +
                              std::string(40, '#') + "] 100%" + "\r\033[KT\ndone\n");
}

TEST(TerminalProgress, DisabledWhenNotATerminal)
{
    Capture err;
    TerminalProgress progress(err.file, false);
    progress.Follow(30);
    progress.Erase();
    EXPECT_EQ(err.Text(), "");
}

}  // namespace
