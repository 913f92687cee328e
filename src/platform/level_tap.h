#pragma once

#include <atomic>
#include <cstdint>

#include "platform/wave_helper.h"

namespace dvx {

// Left and right level for a pair of meters: the magnitude (0..32768) of the highest sample
// since the previous reading.
struct LevelReading {
    int left = 0;
    int right = 0;
    bool operator==(const LevelReading&) const = default;
};

// A level meter tap (`MMConnectorX1` ... `MMConnectorX4`): the stream it sits on publishes each
// buffer's level; the meters' owner polls levels(). Lock-free.
//
// Threads: feed() and publish() on the stream's callback thread; levels() and clear() on the
// main thread, by one poller (a reading resets the level).
class LevelTap {
  public:
    void feed(const std::int16_t* samples, int frames, int channels) noexcept;
    void publish(Peaks peaks) noexcept;

    LevelReading levels() noexcept;
    void clear() noexcept { m_packed.store(0, std::memory_order_relaxed); }

  private:
    // Left level in the high 16 bits, right in the low 16 bits, each the highest so far.
    std::atomic<std::uint32_t> m_packed{0};
};

}  // namespace dvx
