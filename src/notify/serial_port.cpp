#include "notify/serial_port.h"

#include <cerrno>
#include <charconv>

#include "common/paths.h"
#include "common/record_codec.h"

namespace dvx {

std::filesystem::path serialDevicePath(const Paths& paths, std::int16_t ComPort) {
    if (ComPort < 1 || ComPort > 8) {
        throw SerialPortError(ENODEV, "Serial port " + std::to_string(ComPort) +
                                          " does not exist. Choose the modem's port (1 to 8) "
                                          "under Setup, My Connection.");
    }
    const std::string name = "COM" + std::to_string(ComPort);
    const std::filesystem::path override = paths.deviceOverride(name);
    std::error_code ignored;
    // A link counts even when it dangles: opening it then says what is wrong with it.
    if (std::filesystem::exists(std::filesystem::symlink_status(override, ignored))) {
        return override;
    }
    return "/dev/ttyS" + std::to_string(ComPort - 1);
}

int serialBaudRate(std::string_view BaudRate) {
    const std::string digits = trimBlanks(BaudRate);
    int baud = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), baud);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        baud <= 0) {
        throw SerialPortError(EINVAL, "The modem's baud rate \"" + std::string(BaudRate) +
                                          "\" is not a speed. Choose one under Setup, My "
                                          "Connection.");
    }
    return baud;
}

}  // namespace dvx
