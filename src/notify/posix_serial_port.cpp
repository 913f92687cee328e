#include "notify/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dvx {
namespace {

// How long a write may wait for the modem's clear-to-send before it gives up.
constexpr int kWriteWaitMs = 500;

speed_t standardSpeed(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

[[noreturn]] void fail(int number, const std::string& what, const std::filesystem::path& device) {
    throw SerialPortError(
        number, "The serial port " + device.string() + " " + what + ": " + std::strerror(number));
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
    close();
}

void PosixSerialPort::open(const std::filesystem::path& device, int baud) {
    if (isOpen()) {
        fail(EBUSY, "is in use by a call in progress", m_device);
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(errno, "cannot be opened", device);
    }
    auto refuse = [&](const std::string& what) {
        const int number = errno;
        ::close(fd);
        fail(number, what, device);
    };
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        refuse("is not a serial line");
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    // CLOCAL: the port works before the modem has a carrier.
    settings.c_cflag |= CS8 | CREAD | CLOCAL | CRTSCTS | HUPCL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(baud);
    if (speed != B0 &&
        (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0)) {
        refuse("does not take " + std::to_string(baud) + " baud");
    }
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
        refuse("refuses the line settings");
    }
    if (speed == B0 && !setFreeSerialSpeed(fd, baud)) {
        refuse("does not take " + std::to_string(baud) + " baud");
    }
    // No other program, nor a second copy of this one, may open the modem while a call runs
    // (root still can: the kernel lets CAP_SYS_ADMIN through).
    if (::ioctl(fd, TIOCEXCL) != 0) {
        refuse("cannot be reserved for the dialer");
    }
    // Raise DTR and RTS. A pseudo-terminal has no modem lines and says so; that is no fault.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
    ::tcflush(fd, TCIOFLUSH);
    m_fd = fd;
    m_device = device;
}

void PosixSerialPort::write(std::string_view bytes) {
    if (!isOpen()) {
        throw SerialPortError(EBADF, "The serial port is not open.");
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + sent, bytes.size() - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN) {
            fail(errno, "cannot be written", m_device);
        }
        pollfd ready{m_fd, POLLOUT, 0};
        if (::poll(&ready, 1, kWriteWaitMs) <= 0) {
            fail(ETIMEDOUT, "does not take the command (the modem does not clear to send)",
                 m_device);
        }
    }
}

std::string PosixSerialPort::readAvailable() {
    if (!isOpen()) {
        throw SerialPortError(EBADF, "The serial port is not open.");
    }
    std::string received;
    char buffer[512];
    for (;;) {
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count > 0) {
            received.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count == 0 || errno == EAGAIN) {
            return received;
        }
        fail(errno, "cannot be read", m_device);
    }
}

void PosixSerialPort::close() {
    if (!isOpen()) {
        return;
    }
    // The kernel's close waits for queued output to go out, up to the line's closing_wait (30 s
    // by default), and a modem that holds CTS low never takes it: what is still queued is
    // dropped, so closing never holds up the main thread. This may cut off the hang-up escape
    // "+++,H" written just before; dropping DTR hangs up all the same under &D2.
    ::tcflush(m_fd, TCIOFLUSH);
    // HUPCL drops DTR on close as well; lowering it first also covers a driver without it.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIC, &lines);
    // Exclusive use outlives this descriptor while anything else holds the line open.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace dvx
