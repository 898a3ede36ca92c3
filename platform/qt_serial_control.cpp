#include "platform/qt_serial_control.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace {

std::vector<std::string> SplitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ','))
        parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.emplace_back();
    return parts;
}

QSerialPort::Parity ToQtParity(char letter)
{
    switch (letter) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits ToQtStopBits(const std::string& stopBits)
{
    if (stopBits == "2")
        return QSerialPort::TwoStop;
    if (stopBits == "1.5")
        return QSerialPort::OneAndHalfStop;
    return QSerialPort::OneStop;
}

// Qt carries a device's name as text, so a path that is no valid text (a link named with a
// Latin-1 byte) would reach the open changed; such a one is opened by the name its links lead to.
QString PortName(const std::string& path)
{
    const QString name = QString::fromLocal8Bit(path.c_str());
    char resolved[PATH_MAX];
    if (name.toLocal8Bit().toStdString() == path || !::realpath(path.c_str(), resolved))
        return name;
    return QString::fromLocal8Bit(resolved);
}

}  // namespace

PortLineCalls PortLineCalls::Real()
{
    PortLineCalls calls;
    calls.setDtr = [](QSerialPort& port, bool on) { port.setDataTerminalReady(on); };
    calls.setRts = [](QSerialPort& port, bool on) { port.setRequestToSend(on); };
    calls.kernelQueued = [](const QSerialPort& port) {
        int queued = 0;
        return ::ioctl(static_cast<int>(port.handle()), TIOCOUTQ, &queued) == 0 ? queued : 0;
    };
    return calls;
}

QtSerialControl::QtSerialControl(std::function<std::string(int port)> devicePath, PortLineCalls lines)
    : m_devicePath(std::move(devicePath)), m_lines(std::move(lines))
{
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { HandleReadyRead(); });
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { HandleError(error); });
}

QtSerialControl::~QtSerialControl()
{
    QObject::disconnect(&m_port, nullptr, nullptr, nullptr);
    m_port.close();
}

void QtSerialControl::SetCommPort(std::int16_t port)
{
    if (!PortOpen())  // the number of an open port cannot change
        m_commPort = port;
}

std::string QtSerialControl::Settings() const
{
    return std::to_string(m_settings.baud) + "," + m_settings.parity + "," + std::to_string(m_settings.dataBits) +
           "," + m_settings.stopBits;
}

bool QtSerialControl::ParseSettings(const std::string& text, LineSettings& out)
{
    const std::vector<std::string> parts = SplitAtCommas(text);
    if (parts.size() != 4)
        return false;
    LineSettings parsed;
    const std::string& baud = parts[0];
    const auto [end, ec] = std::from_chars(baud.data(), baud.data() + baud.size(), parsed.baud);
    if (baud.empty() || ec != std::errc() || end != baud.data() + baud.size() || parsed.baud <= 0)
        return false;
    if (parts[1].size() != 1 || std::string("neoms").find(char(std::tolower(parts[1][0]))) == std::string::npos)
        return false;
    parsed.parity = char(std::tolower(parts[1][0]));
    if (parts[2].size() != 1 || parts[2][0] < '5' || parts[2][0] > '8')
        return false;
    parsed.dataBits = parts[2][0] - '0';
    if (parts[3] != "1" && parts[3] != "1.5" && parts[3] != "2")
        return false;
    parsed.stopBits = parts[3];
    out = parsed;
    return true;
}

void QtSerialControl::SetSettings(const std::string& settings)
{
    // Refused settings leave the old ones in force; nothing is reported.
    if (!ParseSettings(settings, m_settings))
        return;
    if (PortOpen())
        ApplyLineSettings();
}

void QtSerialControl::ApplyLineSettings()
{
    m_port.setBaudRate(m_settings.baud);
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(m_settings.dataBits));
    m_port.setParity(ToQtParity(m_settings.parity));
    m_port.setStopBits(ToQtStopBits(m_settings.stopBits));
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

// A port that failed while open (ResourceError) is closed at once, so this is the open state.
bool QtSerialControl::PortOpen() const
{
    return m_port.isOpen();
}

void QtSerialControl::SetPortOpen(bool open)
{
    if (open && !PortOpen())
        Open();
    else if (!open && PortOpen())
        Close();
}

void QtSerialControl::Open()
{
    const std::string path = m_devicePath ? m_devicePath(m_commPort) : "";
    if (path.empty())
        return;
    m_opening = true;
    m_port.setPortName(PortName(path));
    ApplyLineSettings();
    if (m_port.open(QIODevice::ReadWrite)) {
        // Qt's lock file is named after the path; the lock on the device itself also stops a
        // second program that reaches the same port through another name.
        if (::flock(static_cast<int>(m_port.handle()), LOCK_EX | LOCK_NB) != 0) {
            m_port.close();
        } else {
            // Linux raises both lines on open; the chip resets on DTR, so release them now.
            m_lines.setDtr(m_port, false);
            m_lines.setRts(m_port, false);
        }
    }
    m_opening = false;
}

void QtSerialControl::Close()
{
    // Bytes already handed over must still reach the line (a shutdown command is the last thing
    // an operation writes); closing would drop what Qt still holds. Qt writes only when the
    // device can take more (a forced write into a full queue reads as a failed port), and the
    // wait is bounded for a stuck port.
    constexpr int kHandOverWaitMs = 1000;
    while (m_port.bytesToWrite() > 0 && m_port.waitForBytesWritten(kHandOverWaitMs)) {
    }
    m_port.close();
}

void QtSerialControl::SetDTREnable(bool on)
{
    if (PortOpen())
        m_lines.setDtr(m_port, on);
}

void QtSerialControl::SetBreak(bool on)
{
    if (PortOpen())
        m_port.setBreakEnabled(on);
}

int QtSerialControl::OutBufferCount() const
{
    if (!PortOpen())
        return 0;
    const qint64 pending = m_port.bytesToWrite() + std::max(m_lines.kernelQueued(m_port), 0);
    return static_cast<int>(std::min<qint64>(pending, INT_MAX));
}

void QtSerialControl::Output(const std::vector<std::uint8_t>& bytes)
{
    if (PortOpen() && !bytes.empty())
        m_port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::vector<std::uint8_t> QtSerialControl::Input()
{
    if (!m_port.isOpen())
        return {};
    const QByteArray data = m_port.readAll();
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

void QtSerialControl::HandleReadyRead()
{
    Raise(kCommEventReceive);
}

void QtSerialControl::HandleError(QSerialPort::SerialPortError error)
{
    // Failures while opening or configuring are judged by the open state alone; DTR and break
    // are unsupported on some devices (a pseudo-terminal), which is no port event either.
    if (error == QSerialPort::NoError || error == QSerialPort::UnsupportedOperationError || m_opening)
        return;
    // The device went away: an unplugged adapter gives ResourceError, a pseudo-terminal whose far
    // end closed gives ReadError on every later event-loop pass. Either way the port counts as
    // closed from now on, and closing it ends that stream of errors (and a busy event loop).
    const bool lost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                      error == QSerialPort::WriteError;
    if (lost && m_port.isOpen())
        m_port.close();
    Raise(kCommEventError);
}

void QtSerialControl::Raise(int event)
{
    m_commEvent = event;
    if (OnComm)
        OnComm();
}
