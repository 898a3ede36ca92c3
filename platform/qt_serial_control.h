// The serial control on QSerialPort: a port number mapped to a device path, line settings kept
// as "baud,n,8,1", an exclusive raw open that does not reset the chip, and receive events.
#pragma once

#include <QSerialPort>

#include <functional>
#include <string>

#include "platform/port_map.h"
#include "platform/serial_control.h"

// The calls that reach the device beneath Qt's queue: the modem lines and the kernel's output
// queue. Tests record them, since a pseudo-terminal has no lines and always shows an empty queue.
struct PortLineCalls {
    std::function<void(QSerialPort&, bool on)> setDtr;
    std::function<void(QSerialPort&, bool on)> setRts;
    std::function<int(const QSerialPort&)> kernelQueued;  // bytes; -1 when the device cannot tell

    static PortLineCalls Real();
};

class QtSerialControl : public SerialControl {
public:
    static constexpr int kCommEventError = 1000;  // any port failure other than received data
    static constexpr int kOutBufferSize = 512;    // bytes

    // device gives the device of a port number, or why there is none.
    explicit QtSerialControl(std::function<PortDevice(int port)> device,
                             PortLineCalls lines = PortLineCalls::Real());
    ~QtSerialControl() override;

    std::int16_t CommPort() const override { return m_commPort; }
    void SetCommPort(std::int16_t port) override;
    std::string Settings() const override;
    void SetSettings(const std::string& settings) override;
    bool PortOpen() const override;
    void SetPortOpen(bool open) override;
    void SetDTREnable(bool on) override;
    void SetBreak(bool on) override;
    int OutBufferSize() const override { return kOutBufferSize; }
    int OutBufferCount() const override;
    void ClearOutBuffer() override;
    void Output(const std::vector<std::uint8_t>& bytes) override;
    std::vector<std::uint8_t> Input() override;
    int CommEvent() const override { return m_commEvent; }
    std::string OpenFailure() const override { return m_openFailure; }
    std::string DeviceName() const override { return m_path; }

private:
    struct LineSettings {
        qint32 baud = 115200;
        char parity = 'n';
        int dataBits = 8;
        std::string stopBits = "1";
    };
    static bool ParseSettings(const std::string& text, LineSettings& out);
    void ApplyLineSettings();
    void Open();
    void ExplainFailedOpen(const std::string& why);
    void Close();
    void HandleReadyRead();
    void HandleError(QSerialPort::SerialPortError error);
    void Raise(int event);

    std::function<PortDevice(int)> m_device;
    PortLineCalls m_lines;
    std::string m_path;       // the device of the last open, for the log
    std::string m_openFailure;
    qint64 m_handedOver = 0;  // bytes since that open, for the log
    qint64 m_received = 0;
    bool m_toldUnsupported = false;  // the log says once per open that DTR or break calls fail
    std::int16_t m_commPort = 1;
    LineSettings m_settings;
    int m_commEvent = 0;
    bool m_opening = false;
    QSerialPort m_port;
};
