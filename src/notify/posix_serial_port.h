#pragma once

#include "notify/serial_port.h"

namespace dvx {

// The serial port on a POSIX terminal device: raw 8N1, RTS/CTS, DTR and RTS raised, DTR
// dropped on close (HUPCL). The line is held for exclusive use while open (TIOCEXCL), so no
// other program opens the modem in the middle of a call. Reads and writes do not block the main
// thread, and neither does closing: output still queued is dropped. Main thread only.
class PosixSerialPort : public SerialPort {
  public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    void open(const std::filesystem::path& device, int baud) override;
    bool isOpen() const override { return m_fd >= 0; }
    void write(std::string_view bytes) override;
    std::string readAvailable() override;
    void close() override;

  private:
    int m_fd = -1;
    std::filesystem::path m_device;
};

// Sets a speed that has no Bxxx constant (28800) through the kernel's free-speed interface.
// Kept apart because its kernel header clashes with <termios.h>. Returns false with errno set.
bool setFreeSerialSpeed(int fd, int baud);

}  // namespace dvx
