// The serial control as the loader uses it: port number, line settings, open state, DTR and
// break lines, output buffer, input and the receive event. One Qt implementation, fakes in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class SerialControl {
public:
    static constexpr int kCommEventReceive = 2;  // CommEvent value for "data received"
    static constexpr int kHighestPort = 32767;   // what the 16-bit port number holds

    virtual ~SerialControl() = default;

    virtual std::int16_t CommPort() const = 0;
    virtual void SetCommPort(std::int16_t port) = 0;
    // "115200,n,8,1": baud, parity letter, data bits, stop bits.
    virtual std::string Settings() const = 0;
    virtual void SetSettings(const std::string& settings) = 0;
    virtual bool PortOpen() const = 0;
    virtual void SetPortOpen(bool open) = 0;
    virtual void SetDTREnable(bool on) = 0;
    virtual void SetBreak(bool on) = 0;
    virtual int OutBufferSize() const = 0;   // 512
    virtual int OutBufferCount() const = 0;  // handed over and not yet transmitted
    // Drops what was handed over and not yet transmitted, so a port whose far end stopped taking
    // data closes at once.
    virtual void ClearOutBuffer() = 0;
    virtual void Output(const std::vector<std::uint8_t>& bytes) = 0;
    virtual std::vector<std::uint8_t> Input() = 0;
    virtual int CommEvent() const = 0;       // kind of the event being raised
    // Why the last open failed, as a line for the user ("COM1 (/dev/ttyUSB0): Permission
    // denied"); "" after an open that succeeded.
    virtual std::string OpenFailure() const = 0;
    // The device the port number led to at the last open, for the user's messages.
    virtual std::string DeviceName() const = 0;

    // Raised on the event thread when data has arrived or another port event occurs.
    std::function<void()> OnComm;
};
