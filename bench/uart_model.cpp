#include "bench/uart_model.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

UartModel::UartModel(Chip chip, std::set<int> presentPorts) : m_chip(std::move(chip)), m_present(std::move(presentPorts))
{
    m_clock.start();
}

void UartModel::SetCommPort(std::int16_t port)
{
    if (!m_open)
        m_port = port;
}

void UartModel::SetSettings(const std::string& settings)
{
    const double baud = std::atof(settings.c_str());
    if (baud > 0) {
        m_baud = baud;
        m_settings = settings;
    }
}

void UartModel::SetPortOpen(bool open)
{
    m_open = open && m_present.count(m_port) > 0;
    m_wireFreeAt = NowMs();
}

int UartModel::OutBufferCount() const
{
    const double left = m_wireFreeAt - NowMs();
    return left <= 0 ? 0 : static_cast<int>(std::ceil(left / CharMs()));
}

void UartModel::Output(const std::vector<std::uint8_t>& bytes)
{
    if (!m_open)
        return;
    m_wireFreeAt = std::max(m_wireFreeAt, NowMs()) + CharMs() * static_cast<double>(bytes.size());
    const std::vector<std::uint8_t> answer = m_chip(bytes, static_cast<std::int64_t>(m_wireFreeAt));
    if (answer.empty())
        return;
    // The answer arrives once the characters it answers have crossed the wire, and its own
    // characters have crossed back.
    const double arrival = m_wireFreeAt + CharMs() * static_cast<double>(answer.size());
    const int delayMs = static_cast<int>(std::max(0.0, std::ceil(arrival - NowMs())));
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this, answer] {
        if (!m_open)
            return;
        m_input.insert(m_input.end(), answer.begin(), answer.end());
        m_commEvent = kCommEventReceive;
        if (OnComm)
            OnComm();
    });
}

std::vector<std::uint8_t> UartModel::Input()
{
    std::vector<std::uint8_t> out;
    out.swap(m_input);
    return out;
}
