#include "tests/support/fake_serial.h"

#include <algorithm>
#include <cmath>

void FakeSerial::SetCommPort(std::int16_t port)
{
    if (m_open)
        return;  // a real control refuses a port change while open
    m_port = port;
}

void FakeSerial::SetSettings(const std::string& settings)
{
    const std::string baud = settings.substr(0, settings.find(','));
    if (acceptedBauds.count(baud) && settings == baud + ",n,8,1")
        m_settings = settings;  // refused settings leave the old ones in force
}

void FakeSerial::SetPortOpen(bool open)
{
    if (open == m_open)
        return;
    if (open) {
        if (!openablePorts.count(m_port))
            return;
        m_open = true;
        ++opens;
        m_input.clear();
        m_written = 0;
        m_wireFreeAt = static_cast<double>(m_clock.NowMs());
        events.push_back({Event::Open, m_clock.NowMs(), false, {}, m_port, m_settings});
    } else {
        m_open = false;
        ++closes;
        events.push_back({Event::Close, m_clock.NowMs(), false, {}, 0, {}});
    }
}

void FakeSerial::SetDTREnable(bool on)
{
    if (m_open)
        events.push_back({Event::Dtr, m_clock.NowMs(), on, {}, 0, {}});
}

void FakeSerial::SetBreak(bool on)
{
    if (m_open)
        events.push_back({Event::Break, m_clock.NowMs(), on, {}, 0, {}});
}

double FakeSerial::CharMs() const
{
    const double baud = std::stod(m_settings.substr(0, m_settings.find(',')));
    return 10.0 * 1000.0 / baud;
}

double FakeSerial::WireNowMs() const
{
    const std::int64_t now = m_clock.NowMs();
    return static_cast<double>(stallAtMs >= 0 ? std::min(now, stallAtMs) : now);
}

int FakeSerial::OutBufferCount() const
{
    if (!m_open || !modelWireTime)
        return 0;
    const double left = m_wireFreeAt - WireNowMs();
    return left <= 0 ? 0 : static_cast<int>(std::ceil(left / CharMs()));
}

void FakeSerial::ClearOutBuffer()
{
    m_wireFreeAt = WireNowMs();
}

void FakeSerial::Output(const std::vector<std::uint8_t>& bytes)
{
    if (!m_open)
        return;
    events.push_back({Event::Write, m_clock.NowMs(), false, bytes, 0, {}});
    m_written += static_cast<std::int64_t>(bytes.size());
    if (failAfterBytes >= 0 && m_written >= failAfterBytes) {
        Unplug();
        return;
    }
    m_wireFreeAt = std::max(m_wireFreeAt, WireNowMs()) + (modelWireTime ? CharMs() * bytes.size() : 0.0);
    if (peer) {
        auto answer = peer(bytes, m_clock.NowMs());
        if (!answer.empty())
            Feed(answer, static_cast<std::int64_t>(std::ceil(m_wireFreeAt)));
    }
}

std::vector<std::uint8_t> FakeSerial::Input()
{
    std::vector<std::uint8_t> out;
    out.swap(m_input);
    return out;
}

void FakeSerial::Feed(const std::vector<std::uint8_t>& bytes, std::int64_t atMs)
{
    if (atMs < 0)
        atMs = m_clock.NowMs();
    m_clock.Schedule(atMs, [this, bytes] {
        if (!m_open)
            return;
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
        m_commEvent = kCommEventReceive;
        if (OnComm)
            OnComm();
    });
}

void FakeSerial::Unplug()
{
    if (!m_open)
        return;
    m_open = false;
    events.push_back({Event::Close, m_clock.NowMs(), false, {}, 0, {}});
    m_commEvent = kCommEventLost;
    if (OnComm)
        OnComm();
}

std::vector<std::vector<std::uint8_t>> FakeSerial::Writes() const
{
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& e : events)
        if (e.kind == Event::Write)
            out.push_back(e.bytes);
    return out;
}
