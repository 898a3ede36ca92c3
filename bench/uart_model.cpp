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
    // Each character reaches the chip when it has crossed the wire, and the chip answers it at
    // once: the line is full duplex, so answers cross back while later characters go out.
    std::vector<std::uint8_t> answer;
    double returnFreeAt = 0;
    m_wireFreeAt = std::max(m_wireFreeAt, NowMs());
    for (const std::uint8_t byte : bytes) {
        m_wireFreeAt += CharMs();
        const std::vector<std::uint8_t> reply = m_chip({byte}, static_cast<std::int64_t>(m_wireFreeAt));
        if (reply.empty())
            continue;
        returnFreeAt = std::max(returnFreeAt, m_wireFreeAt) + CharMs() * static_cast<double>(reply.size());
        answer.insert(answer.end(), reply.begin(), reply.end());
    }
    if (answer.empty())
        return;
    // Delivered together when the last of them has arrived.
    const int delayMs = static_cast<int>(std::max(0.0, std::ceil(returnFreeAt - NowMs())));
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
