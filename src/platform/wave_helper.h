#pragma once

#include <cstddef>
#include <cstdint>

namespace dvx {

// The peak sample of each channel of one buffer: the sample of largest magnitude with its sign
// kept, so a buffer holding -32768 reports -32768. A mono buffer reports its peak on both.
struct Peaks {
    std::int16_t left = 0;
    std::int16_t right = 0;
    bool operator==(const Peaks&) const = default;
};

// The buffer utility (`WaveHelper`). Pure functions: callable from any thread, the audio
// callback included (no allocation, no locks).
class WaveHelper {
  public:
    // `channels` is 1 or 2. Where a negative and a positive sample have the same largest
    // magnitude, the positive one is reported. An empty buffer reports 0, 0.
    static Peaks peaks(const std::int16_t* samples, int frames, int channels) noexcept;

    // The same from a buffer's data address and byte count, as a capture event carries them.
    // A trailing partial frame is ignored.
    static Peaks peaksOfBuffer(const void* data, std::size_t byteCount, int channels) noexcept;

    // The peak of a stereo buffer as it sounds mixed down to mono, (left + right) / 2 per frame,
    // reported on both sides as a mono buffer's peak is.
    static Peaks monoPeaks(const std::int16_t* stereo, int frames) noexcept;

    // The level test of a recording: |left| OR |right| (bitwise, computed in int, so a
    // full-scale -32768 counts as 32768) is above `threshold`.
    static bool louderThan(Peaks peaks, int threshold) noexcept {
        const int left = peaks.left < 0 ? -peaks.left : peaks.left;
        const int right = peaks.right < 0 ? -peaks.right : peaks.right;
        return (left | right) > threshold;
    }
};

}  // namespace dvx
