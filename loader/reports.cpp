#include "loader/reports.h"

#include "text/trim_spaces.h"

const char* const kCrLf = "\r\n";

std::string NumberText(std::int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string EchoText(const Loader& ld)
{
    return TrimSpaces(ld.argumentText);
}

void ReportError(Loader& ld, const std::string& text)
{
    LoaderState& s = ld.state;
    ld.presenter.ShowMessage(MessageIcon::Warning, s.MessageTitle, text);
    ++ld.errorsReported;
    if (s.LinkStatus >= 0)
        s.LinkStatus = kLinkErrorReported;
    s.CommandLine = "";
    s.ImageFile = kRunFinished;
}

void ReportInfo(Loader& ld, const std::string& text)
{
    ld.presenter.ShowMessage(MessageIcon::Information, ld.state.MessageTitle, text);
}
