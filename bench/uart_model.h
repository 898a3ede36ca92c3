// A serial port that drains at its baud rate in real time, with a chip model on the far end.
// A pseudo-terminal cannot show drain timing (it swallows kilobytes and reports an empty queue),
// so the benchmark measures the loader's waits against this instead.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <set>

#include "platform/serial_control.h"

class UartModel : public QObject, public SerialControl {
public:
    // The chip takes the characters that reached it at a time in ms and returns its answer.
    using Chip = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&, std::int64_t)>;

    UartModel(Chip chip, std::set<int> presentPorts);

    std::int16_t CommPort() const override { return m_port; }
    void SetCommPort(std::int16_t port) override;
    std::string Settings() const override { return m_settings; }
    void SetSettings(const std::string& settings) override;
    bool PortOpen() const override { return m_open; }
    void SetPortOpen(bool open) override;
    void SetDTREnable(bool) override {}
    void SetBreak(bool) override {}
    int OutBufferSize() const override { return 512; }
    int OutBufferCount() const override;
    void ClearOutBuffer() override { m_wireFreeAt = NowMs(); }
    void Output(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> Input() override;
    int CommEvent() const override { return m_commEvent; }
    std::string DeviceName() const override { return "modelled UART"; }
    std::string OpenFailure() const override { return m_open ? "" : "COM" + std::to_string(m_port) + ": absent"; }

private:
    double NowMs() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e6; }
    double CharMs() const { return 10.0 * 1000.0 / m_baud; }

    Chip m_chip;
    std::set<int> m_present;
    QElapsedTimer m_clock;
    std::int16_t m_port = 1;
    std::string m_settings = "115200,n,8,1";
    double m_baud = 115200;
    bool m_open = false;
    double m_wireFreeAt = 0;  // ms at which the last character handed over has left the wire
    std::vector<std::uint8_t> m_input;
    int m_commEvent = 0;
};
