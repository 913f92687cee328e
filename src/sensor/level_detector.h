#pragma once

#include <atomic>
#include <cstdint>

#include "common/clock.h"

namespace dvx {

// The level test of every captured buffer. onBuffer runs where the buffer arrives (the audio
// thread, or the main thread for virtual devices under a simulated clock) and only stores
// atomics: the moment of the last loud buffer, on the clock's steady seconds, and the peaks.
// Everything else is for the main thread.
class LevelDetector {
  public:
    explicit LevelDetector(const Clock& clock);

    // Audio thread. The peaks are the channel samples of largest magnitude, sign kept. The
    // buffer is loud when |left| OR |right| (bitwise) is above the threshold; a peak of
    // -32768, whose magnitude does not fit in 16 bits, makes the buffer count as silent and
    // both peaks read 0.
    void onBuffer(std::int16_t peakLeft, std::int16_t peakRight) noexcept;

    // Main thread.
    void setThreshold(std::int16_t threshold) {
        m_threshold.store(threshold, std::memory_order_relaxed);
    }
    std::int16_t threshold() const { return m_threshold.load(std::memory_order_relaxed); }
    // Takes "now" as the last sound (arming starts from a clean silence clock).
    void markSoundNow();
    double lastSoundSteady() const { return m_lastSoundSteady.load(std::memory_order_acquire); }
    std::int16_t peakLeft() const { return m_peakLeft.load(std::memory_order_relaxed); }
    std::int16_t peakRight() const { return m_peakRight.load(std::memory_order_relaxed); }
    // When the last buffer of any level arrived, on the clock's steady seconds; negative before
    // the first.
    double lastBufferSteady() const { return m_lastBufferSteady.load(std::memory_order_relaxed); }

    // The test itself, for one pair of peaks.
    static bool isLoud(std::int16_t peakLeft, std::int16_t peakRight, std::int16_t threshold);

  private:
    const Clock& m_clock;
    std::atomic<std::int16_t> m_threshold{0};
    std::atomic<std::int16_t> m_peakLeft{0};
    std::atomic<std::int16_t> m_peakRight{0};
    std::atomic<double> m_lastSoundSteady{0.0};
    std::atomic<double> m_lastBufferSteady{-1.0};
};

}  // namespace dvx
