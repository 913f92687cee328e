#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace dvx {

// A volume stage (`Fader`, the recorder's `Gain`): volume 0 is silence, 16384 is unity gain.
// The volume reads back exactly as set, so a fade that steps past 16384 sees its end; as a
// gain, values above 16384 count as 16384 and values below 0 as 0. Samples are scaled by
// volume / 16384, rounded toward zero, so 8192 halves every sample.
//
// Threads: setVolume() on the main thread; volume() anywhere; apply() and applyTo() on the
// stream's callback thread (lock-free; each call uses one volume throughout).
class VolumeStage {
  public:
    static constexpr int kUnity = 16384;

    explicit VolumeStage(int volume = kUnity) : m_volume(volume) {}

    void setVolume(int volume) noexcept { m_volume.store(volume, std::memory_order_relaxed); }
    int volume() const noexcept { return m_volume.load(std::memory_order_relaxed); }

    void apply(std::int16_t* samples, std::size_t count) const noexcept;
    void applyTo(const std::int16_t* in, std::int16_t* out, std::size_t count) const noexcept;

  private:
    std::atomic<int> m_volume;
};

}  // namespace dvx
