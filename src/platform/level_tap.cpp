#include "platform/level_tap.h"

#include <algorithm>
#include <cstdlib>

namespace dvx {

void LevelTap::feed(const std::int16_t* samples, int frames, int channels) noexcept {
    publish(WaveHelper::peaks(samples, frames, channels));
}

void LevelTap::publish(Peaks peaks) noexcept {
    const auto left = static_cast<std::uint32_t>(std::abs(static_cast<int>(peaks.left)));
    const auto right = static_cast<std::uint32_t>(std::abs(static_cast<int>(peaks.right)));
    std::uint32_t current = m_packed.load(std::memory_order_relaxed);
    for (;;) {
        const std::uint32_t wanted =
            (std::max(current >> 16, left) << 16) | std::max(current & 0xFFFFu, right);
        if (wanted == current ||
            m_packed.compare_exchange_weak(current, wanted, std::memory_order_relaxed)) {
            return;
        }
    }
}

LevelReading LevelTap::levels() noexcept {
    const std::uint32_t packed = m_packed.exchange(0, std::memory_order_relaxed);
    return {static_cast<int>(packed >> 16), static_cast<int>(packed & 0xFFFFu)};
}

}  // namespace dvx
