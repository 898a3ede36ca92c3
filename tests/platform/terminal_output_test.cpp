#include <gtest/gtest.h>

#include <cstdio>

#include "platform/terminal_presenter.h"
#include "platform/terminal_progress.h"

namespace {

// A stream in memory that a test can read back.
class Capture {
public:
    Capture() : m_file(std::tmpfile()) {}
    ~Capture() { std::fclose(m_file); }
    std::FILE* file() { return m_file; }
    std::string Text()
    {
        std::fflush(m_file);
        std::rewind(m_file);
        std::string text;
        for (int c; (c = std::fgetc(m_file)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }

private:
    std::FILE* m_file;
};

TEST(TerminalPresenter, InformationGoesToOutputWarningsToErrorTitleFirst)
{
    Capture out, err;
    TerminalPresenter presenter(out.file(), err.file());
    presenter.ShowMessage(MessageIcon::Information, "Title", "Line 1\r\n\r\nLine 3\t ");
    presenter.ShowMessage(MessageIcon::Warning, "Title", "No Download Filename Specified\r\n\r\n-com:3");
    EXPECT_EQ(out.Text(), "Title\nLine 1\n\nLine 3\t \n");
    EXPECT_EQ(err.Text(), "Title\nNo Download Filename Specified\n\n-com:3\n");
}

TEST(TerminalPresenter, OnlyCrLfPairsBecomeLineEnds)
{
    EXPECT_EQ(TerminalText("a\r\nb\nc\rd\r"), "a\nb\nc\rd\r");
}

TEST(TerminalProgress, DrawsOnChangeAndIsErasedBeforeAMessage)
{
    Capture err;
    TerminalProgress progress(err.file(), true);
    TerminalPresenter presenter(err.file(), err.file());
    presenter.SetBeforeMessage([&] { progress.Erase(); });

    progress.Follow(0);  // a freshly loaded window: nothing to show
    progress.Follow(50);
    progress.Follow(50);  // unchanged: not drawn again
    progress.Follow(100);
    presenter.ShowMessage(MessageIcon::Information, "T", "done");
    progress.Follow(100);  // unchanged after the message: stays erased
    EXPECT_EQ(err.Text(), TerminalProgress::BarText(50) + TerminalProgress::BarText(100) + "\r\033[KT\ndone\n");
}

TEST(TerminalProgress, DisabledWhenNotATerminal)
{
    Capture err;
    TerminalProgress progress(err.file(), false);
    progress.Follow(30);
    progress.Erase();
    EXPECT_EQ(err.Text(), "");
}

}  // namespace
