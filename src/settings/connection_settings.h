#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dvx {

class Paths;

// The modem line of the dialer. Owned by the main window and passed by reference; the
// connection window changes it live, the dialer reads it when a dial starts. Main thread only.
struct ConnectionSettings {
    std::int16_t ComPort = 0;      // serial port 1..8; 0 = not set
    std::string BaudRate;          // decimal digits ("19200"); empty = not set
    std::int16_t DialConnect = 0;  // 1: no alarm e-mail for an event that dials
};

struct ConnectionLoad {
    ConnectionSettings settings;         // the empty values when the file is missing or unreadable
    std::optional<std::string> warning;  // for the error window
};

// Start-up: reads c:\Dorvex\Connection.dat (ComPort, BaudRate, DialConnect with the list-input
// rule). A missing file gives the empty values and no warning; a port or Dial Connect value
// that is not a 16-bit number, or a file that ends early, gives the empty values and a
// warning. Throws IoError when the file exists but cannot be read.
ConnectionLoad loadConnectionSettings(const Paths& paths);

// Apply: rewrites Connection.dat whole as " 3 ", "19200", " 1 " (numbers with a blank or "-"
// in the place of the sign and one blank after). Throws std::invalid_argument, writing
// nothing, for a BaudRate that is not decimal digits; throws IoError.
void saveConnectionSettings(const Paths& paths, const ConnectionSettings& settings);

}  // namespace dvx
