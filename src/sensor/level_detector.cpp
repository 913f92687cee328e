#include "sensor/level_detector.h"

namespace dvx {

static_assert(std::atomic<double>::is_always_lock_free, "the audio thread must not lock");

LevelDetector::LevelDetector(const Clock& clock) : m_clock(clock) {
    m_lastSoundSteady.store(clock.steadySeconds());
}

bool LevelDetector::isLoud(std::int16_t peakLeft, std::int16_t peakRight, std::int16_t threshold) {
    const auto magnitude = static_cast<std::int16_t>((peakLeft < 0 ? -peakLeft : peakLeft) |
                                                     (peakRight < 0 ? -peakRight : peakRight));
    return magnitude > threshold;
}

void LevelDetector::onBuffer(std::int16_t peakLeft, std::int16_t peakRight) noexcept {
    const double now = m_clock.steadySeconds();
    m_lastBufferSteady.store(now, std::memory_order_relaxed);
    if (peakLeft == INT16_MIN || peakRight == INT16_MIN) {
        m_peakLeft.store(0, std::memory_order_relaxed);
        m_peakRight.store(0, std::memory_order_relaxed);
        return;
    }
    m_peakLeft.store(peakLeft, std::memory_order_relaxed);
    m_peakRight.store(peakRight, std::memory_order_relaxed);
    if (isLoud(peakLeft, peakRight, m_threshold.load(std::memory_order_relaxed))) {
        m_lastSoundSteady.store(now, std::memory_order_release);
    }
}

void LevelDetector::markSoundNow() {
    m_lastSoundSteady.store(m_clock.steadySeconds(), std::memory_order_release);
}

}  // namespace dvx
