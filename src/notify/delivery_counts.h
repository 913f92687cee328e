#pragma once

#include <cstdint>

namespace dvx {

// Alarm mails or pages since the program started, one per recipient: taken by the mail server
// (or dialled) and not. Tests sent by hand are not counted.
struct DeliveryCounts {
    std::uint64_t sent = 0;
    std::uint64_t failed = 0;
};

}  // namespace dvx
