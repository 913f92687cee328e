// The level test scans every captured buffer (about 43 a second): how its peak scan compares
// with merely reading the same 4096 bytes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/wave_helper.h"

namespace {

std::vector<std::int16_t> noisyBuffer() {
    std::vector<std::int16_t> samples(dvx::kBufferBytes / sizeof(std::int16_t));
    std::uint32_t state = 12345;
    for (std::int16_t& sample : samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<std::int16_t>(state >> 16);
    }
    return samples;
}

void peakScan(benchmark::State& state) {
    const std::vector<std::int16_t> buffer = noisyBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(buffer.data());
        const dvx::Peaks peaks = dvx::WaveHelper::peaks(buffer.data(), dvx::kFramesPerBuffer, 2);
        benchmark::DoNotOptimize(peaks);
    }
    state.SetBytesProcessed(state.iterations() * dvx::kBufferBytes);
}
BENCHMARK(peakScan);

void plainSum(benchmark::State& state) {
    const std::vector<std::int16_t> buffer = noisyBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(buffer.data());
        std::int32_t sum = 0;
        for (const std::int16_t sample : buffer) {
            sum += sample;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * dvx::kBufferBytes);
}
BENCHMARK(plainSum);

}  // namespace
