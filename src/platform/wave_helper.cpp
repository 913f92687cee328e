#include "platform/wave_helper.h"

#include <algorithm>
#include <cstring>

namespace dvx {
namespace {

// The scan keeps a running minimum and maximum in 16 interleaved lanes, one 32-byte vector
// each (GCC's vector extension: two SSE2 min/max instructions per 16 samples; the
// auto-vectoriser does not see this through the interleaving). 16 is even, so in stereo the
// even lanes see only left samples and the odd lanes only right ones.
constexpr int kLanes = 16;
using Lanes = std::int16_t __attribute__((vector_size(kLanes * sizeof(std::int16_t))));

std::int16_t largestMagnitude(int lowest, int highest) {
    return static_cast<std::int16_t>(-lowest > highest ? lowest : highest);
}

}  // namespace

Peaks WaveHelper::peaks(const std::int16_t* samples, int frames, int channels) noexcept {
    if (samples == nullptr || frames <= 0 || (channels != 1 && channels != 2)) {
        return {};
    }
    const int count = frames * channels;
    Lanes low = Lanes{} + std::int16_t{32767};
    Lanes high = Lanes{} + std::int16_t{-32768};
    int i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        Lanes block;
        std::memcpy(&block, samples + i, sizeof block);
        low = block < low ? block : low;
        high = block > high ? block : high;
    }
    for (int lane = 0; i + lane < count; ++lane) {
        low[lane] = std::min(low[lane], samples[i + lane]);
        high[lane] = std::max(high[lane], samples[i + lane]);
    }
    int lowest[2] = {32767, 32767};
    int highest[2] = {-32768, -32768};
    for (int lane = 0; lane < kLanes; ++lane) {
        const int channel = channels == 2 ? lane % 2 : 0;
        lowest[channel] = std::min<int>(lowest[channel], low[lane]);
        highest[channel] = std::max<int>(highest[channel], high[lane]);
    }
    const std::int16_t left = largestMagnitude(lowest[0], highest[0]);
    if (channels == 1) {
        return {left, left};
    }
    return {left, largestMagnitude(lowest[1], highest[1])};
}

Peaks WaveHelper::peaksOfBuffer(const void* data, std::size_t byteCount, int channels) noexcept {
    if (channels != 1 && channels != 2) {
        return {};
    }
    const std::size_t frameBytes = sizeof(std::int16_t) * static_cast<std::size_t>(channels);
    return peaks(static_cast<const std::int16_t*>(data), static_cast<int>(byteCount / frameBytes),
                 channels);
}

Peaks WaveHelper::monoPeaks(const std::int16_t* stereo, int frames) noexcept {
    int lowest = 0;
    int highest = 0;
    for (int i = 0; i < frames; ++i) {
        const int mixed = (stereo[2 * i] + stereo[2 * i + 1]) / 2;
        lowest = std::min(lowest, mixed);
        highest = std::max(highest, mixed);
    }
    const std::int16_t peak = largestMagnitude(lowest, highest);
    return {peak, peak};
}

}  // namespace dvx
