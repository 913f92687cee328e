#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dvx {

class Paths;

// A serial port that could not be opened, set up, written or read. number() is the system's
// error number, what() names the port and the reason.
class SerialPortError : public std::runtime_error {
  public:
    SerialPortError(int number, const std::string& description)
        : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }

  private:
    int m_number;
};

// The modem's serial line: 8 data bits, no parity, 1 stop bit, RTS/CTS handshaking, DTR and
// RTS raised while open. Failures throw SerialPortError. Main thread only.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Refused when the port is open already, the device is missing or busy, or it does not take
    // the speed.
    virtual void open(const std::filesystem::path& device, int baud) = 0;
    virtual bool isOpen() const = 0;
    // Sends the bytes as they are, no line end added.
    virtual void write(std::string_view bytes) = 0;
    // Everything received so far, without waiting; empty when nothing came.
    virtual std::string readAvailable() = 0;
    // Closing drops DTR, which makes the modem hang up.
    virtual void close() = 0;
};

// The device of serial port `ComPort` (1..8): <data-root>/dev/COM<n> where that exists (a link
// to a USB adapter, or a pseudo-terminal in tests), else /dev/ttyS<n-1>. Throws SerialPortError
// for a port number outside 1..8 (0 is a fresh installation's "not set").
std::filesystem::path serialDevicePath(const Paths& paths, std::int16_t ComPort);

// The line speed of the BaudRate text ("9600"): digits only, blanks around allowed. Throws
// SerialPortError for anything else, the empty text of a fresh installation included.
int serialBaudRate(std::string_view BaudRate);

}  // namespace dvx
