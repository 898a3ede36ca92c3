// The window and the presenter of a board's process. There are no fields to show and nothing to
// store: the progress and the one result message go to the gang over the report pipe.
#pragma once

#include <memory>

#include "gang/board_report.h"
#include "loader/main_window.h"
#include "platform/presenter.h"
#include "platform/serial_control.h"

class ReportPipe {
public:
    explicit ReportPipe(int fd) : m_fd(fd) {}
    void Send(const BoardReport& report);

private:
    int m_fd;
};

class BoardWindow : public MainWindow {
public:
    BoardWindow(std::unique_ptr<SerialControl> serial, ReportPipe& pipe);

    SerialControl& SerialPort() override { return *m_serial; }
    void SetPortText(const std::string&) override {}
    void SetBaudText(const std::string&) override {}
    void SetClosePortEnabled(bool) override {}
    void SetProgress(int percent) override;
    void Unload() override {}

private:
    std::unique_ptr<SerialControl> m_serial;
    ReportPipe& m_pipe;
    int m_percent = -1;  // last sent; the bar is set each chunk, the gang needs each change
};

class ResultPresenter : public Presenter {
public:
    explicit ResultPresenter(ReportPipe& pipe) : m_pipe(pipe) {}
    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override;

private:
    ReportPipe& m_pipe;
};
