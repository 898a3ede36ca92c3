// A serial control for in-process tests. It records every open, close, DTR and break change and
// every block written, with the virtual time; optionally drains at the baud rate; and hands
// what it received to a peer (a chip model) whose answers arrive as receive events.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_control.h"
#include "tests/support/virtual_clock.h"

class FakeSerial : public SerialControl {
public:
    struct Event {
        enum Kind { Open, Close, Dtr, Break, Write } kind;
        std::int64_t atMs;
        bool on = false;                  // Dtr and Break
        std::vector<std::uint8_t> bytes;  // Write
        std::int16_t port = 0;            // Open
        std::string settings;             // Open
    };

    explicit FakeSerial(VirtualClock& clock) : m_clock(clock) {}

    // Configuration of the fake.
    std::set<int> openablePorts{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::set<std::string> acceptedBauds{"4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200"};
    bool modelWireTime = false;       // drain at the baud rate instead of at once
    std::int64_t failAfterBytes = -1; // the adapter is unplugged once this many bytes were written since the open
    std::int64_t stallAtMs = -1;      // from this virtual time on the wire takes nothing (the far end stopped)
    std::string openFailure = "COM? (fake): no such device";  // what a failed open says
    // Receives each block written; returns the bytes to answer with, delivered after the block
    // has gone out on the wire.
    std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>& block, std::int64_t nowMs)> peer;

    // Delivers bytes as a receive event at virtual time atMs (now when negative).
    void Feed(const std::vector<std::uint8_t>& bytes, std::int64_t atMs = -1);
    // Makes the port fail as an unplugged adapter does: it counts as closed from now on, and
    // the failure is raised as a port event.
    void Unplug();
    static constexpr int kCommEventLost = 1000;

    std::vector<Event> events;
    std::vector<std::vector<std::uint8_t>> Writes() const;  // every block written, in order
    int opens = 0;
    int closes = 0;

    // SerialControl
    std::int16_t CommPort() const override { return m_port; }
    void SetCommPort(std::int16_t port) override;
    std::string Settings() const override { return m_settings; }
    void SetSettings(const std::string& settings) override;
    bool PortOpen() const override { return m_open; }
    void SetPortOpen(bool open) override;
    void SetDTREnable(bool on) override;
    void SetBreak(bool on) override;
    int OutBufferSize() const override { return 512; }
    int OutBufferCount() const override;
    void ClearOutBuffer() override;
    void Output(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> Input() override;
    int CommEvent() const override { return m_commEvent; }
    std::string OpenFailure() const override { return m_open ? "" : openFailure; }
    std::string DeviceName() const override { return "/dev/fake" + std::to_string(m_port); }

private:
    double CharMs() const;
    double WireNowMs() const;  // virtual time as far as the wire has got

    VirtualClock& m_clock;
    std::int16_t m_port = 1;
    std::string m_settings = "115200,n,8,1";
    bool m_open = false;
    double m_wireFreeAt = 0;  // virtual ms at which the last byte written leaves the wire
    std::int64_t m_written = 0;
    std::vector<std::uint8_t> m_input;
    int m_commEvent = 0;
};
