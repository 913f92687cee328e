#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dvx {

// The offsets of local time from UTC in one time zone over a span of time, read from the C
// library's time-zone database, so that a simulated clock can follow the zone's changes of the
// clock (daylight saving) as the system clock does.
class ZoneOffsets {
  public:
    // Local time equal to UTC, with no changes of the clock.
    ZoneOffsets() = default;
    // The rules of `timeZone` (an IANA name such as "Europe/Berlin") between two UTC seconds
    // since 1970. Throws std::invalid_argument when the database does not know the zone. Sets
    // TZ for the time it reads and puts it back: call it where no other thread reads local time.
    ZoneOffsets(const std::string& timeZone, std::int64_t fromUtc, std::int64_t toUtc);

    // Seconds to add to a UTC time to get local time (the last known offset beyond the span).
    std::int32_t offsetAt(std::int64_t utcSecond) const;
    // The UTC seconds of local midnight-based `localSecond` (seconds since 1970 on the local
    // calendar): the earliest when the local time occurs twice (the hour the clock is set
    // back), the moment the clock jumps when it does not occur (the hour it skips).
    std::int64_t utcOf(std::int64_t localSecond) const;

  private:
    struct Change {
        std::int64_t fromUtc;  // the first UTC second of this offset
        std::int32_t offset;
    };
    std::vector<Change> m_changes;  // in time order; empty means UTC
};

}  // namespace dvx
