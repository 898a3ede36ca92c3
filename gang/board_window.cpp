#include "gang/board_window.h"

#include <unistd.h>

#include <cerrno>

void ReportPipe::Send(const BoardReport& report)
{
    const std::string line = EncodeReport(report);
    // A gang that has gone away reads nothing more; the board's own work is unaffected.
    for (std::size_t sent = 0; sent < line.size();) {
        const ssize_t n = ::write(m_fd, line.data() + sent, line.size() - sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

BoardWindow::BoardWindow(std::unique_ptr<SerialControl> serial, ReportPipe& pipe)
    : m_serial(std::move(serial)), m_pipe(pipe)
{
}

void BoardWindow::SetProgress(int percent)
{
    if (percent == m_percent)
        return;
    m_percent = percent;
    BoardReport report;
    report.kind = ReportKind::Progress;
    report.percent = percent;
    m_pipe.Send(report);
}

void ResultPresenter::ShowMessage(MessageIcon icon, const std::string&, const std::string& text)
{
    m_pipe.Send({icon == MessageIcon::Information ? ReportKind::Loaded : ReportKind::Failed, text});
}
