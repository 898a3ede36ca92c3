#include "platform/qt_serial_control.h"

#include <QMetaEnum>

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <termios.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

#include "platform/port_holder.h"
#include "platform/qt_log.h"

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

// For the log: where a path's links lead, when they lead elsewhere (a /dev/serial/by-id name).
std::string LinkTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved) || path == resolved)
        return "";
    return std::string(" (") + resolved + ")";
}

}  // namespace

PortLineCalls PortLineCalls::Real()
{
    PortLineCalls calls;
    calls.setDtr = [](QSerialPort& port, bool on) { port.setDataTerminalReady(on); };
    calls.setRts = [](QSerialPort& port, bool on) { port.setRequestToSend(on); };
    calls.kernelQueued = [](const QSerialPort& port) {
        int queued = 0;
        return ::ioctl(static_cast<int>(port.handle()), TIOCOUTQ, &queued) == 0 ? queued : -1;
    };
    return calls;
}

QtSerialControl::QtSerialControl(std::function<PortDevice(int port)> device, PortLineCalls lines)
    : m_device(std::move(device)), m_lines(std::move(lines))
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
    if (PortOpen()) {
        ApplyLineSettings();
        qCDebug(lcSerial, "%s: now at %s", m_path.c_str(), Settings().c_str());
    }
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
    const std::string port = "COM" + std::to_string(m_commPort);
    const PortDevice device = m_device ? m_device(m_commPort) : PortDevice{"", "leads to no device"};
    m_path = device.path;
    m_openFailure.clear();
    if (m_path.empty()) {
        m_openFailure = port + ": " + device.whyNone;
        qCInfo(lcSerial, "%s", m_openFailure.c_str());
        return;
    }
    qCInfo(lcSerial, "%s is %s%s", port.c_str(), m_path.c_str(), LinkTarget(m_path).c_str());
    m_opening = true;
    m_port.setPortName(PortName(m_path));
    ApplyLineSettings();
    if (!m_port.open(QIODevice::ReadWrite)) {
        ExplainFailedOpen(m_port.errorString().toStdString());
    } else if (::flock(static_cast<int>(m_port.handle()), LOCK_EX | LOCK_NB) != 0) {
        // Qt's lock file is named after the path; the lock on the device itself also stops a
        // second program that reaches the same port through another name.
        m_port.close();
        ExplainFailedOpen("another program holds it");
    } else {
        // Linux raises both lines on open; the chip resets on DTR, so release them now.
        m_lines.setDtr(m_port, false);
        m_lines.setRts(m_port, false);
        m_handedOver = 0;
        m_received = 0;
        m_toldUnsupported = false;
        qCInfo(lcSerial, "%s: open at %s, DTR and RTS released", m_path.c_str(), Settings().c_str());
    }
    m_opening = false;
}

// The user's line names the cause Qt's own text blurs: a missing device, a port another program
// holds (Qt calls that a permission error), or a permission the user lacks.
void QtSerialControl::ExplainFailedOpen(const std::string& qtReason)
{
    std::string why = qtReason;
    std::string hint;
    struct stat info {};
    if (::stat(m_path.c_str(), &info) != 0 && errno == ENOENT) {
        why = "no such device";
    } else if (const std::string holder = ProcessHolding(m_path); !holder.empty()) {
        why = "in use by " + holder;
    } else if (::access(m_path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        why = std::strerror(EACCES);
        hint = "; see \"Troubleshooting\" in man Pellik32";
    }
    qCInfo(lcSerial, "%s: cannot open: %s", m_path.c_str(), why.c_str());
    m_openFailure = "COM" + std::to_string(m_commPort) + " (" + m_path + "): " + why + hint;
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
    qCInfo(lcSerial, "%s: closed after handing over %lld bytes and receiving %lld", m_path.c_str(),
           static_cast<long long>(m_handedOver), static_cast<long long>(m_received));
}

void QtSerialControl::SetDTREnable(bool on)
{
    if (!PortOpen())
        return;
    qCDebug(lcSerial, "%s: DTR %s", m_path.c_str(), on ? "on" : "off");
    m_lines.setDtr(m_port, on);
}

void QtSerialControl::SetBreak(bool on)
{
    if (!PortOpen())
        return;
    qCDebug(lcSerial, "%s: break %s", m_path.c_str(), on ? "on" : "off");
    m_port.setBreakEnabled(on);
}

void QtSerialControl::ClearOutBuffer()
{
    if (PortOpen())
        m_port.clear(QSerialPort::Output);
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
    if (!PortOpen() || bytes.empty())
        return;
    m_port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    m_handedOver += static_cast<qint64>(bytes.size());
    qCDebug(lcSerial, "%s: handed over %zu byte%s", m_path.c_str(), bytes.size(), bytes.size() == 1 ? "" : "s");
}

std::vector<std::uint8_t> QtSerialControl::Input()
{
    if (!m_port.isOpen())
        return {};
    const QByteArray data = m_port.readAll();
    m_received += data.size();
    if (!data.isEmpty())
        qCDebug(lcSerial, "%s: received %lld byte%s", m_path.c_str(), static_cast<long long>(data.size()),
                data.size() == 1 ? "" : "s");
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
    if (error == QSerialPort::NoError || m_opening)
        return;
    if (error == QSerialPort::UnsupportedOperationError) {
        // Every DTR or break call on such a device fails alike; once per open says it.
        if (!std::exchange(m_toldUnsupported, true))
            qCDebug(lcSerial, "%s: %s (the device has no modem lines or break; such calls are ignored)",
                    m_path.c_str(), qPrintable(m_port.errorString()));
        return;
    }
    // The device went away: an unplugged adapter gives ResourceError, a pseudo-terminal whose far
    // end closed gives ReadError on every later event-loop pass. Either way the port counts as
    // closed from now on, and closing it ends that stream of errors (and a busy event loop).
    const bool lost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                      error == QSerialPort::WriteError;
    qCInfo(lcSerial, "%s: port error %s: %s%s", m_path.c_str(),
           QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error), qPrintable(m_port.errorString()),
           lost && m_port.isOpen() ? ", so the port counts as closed" : "");
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
