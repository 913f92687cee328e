// Decoding ahead of a player: every sound file is read as normalised floats, resampled where
// its rate is not 44100 Hz, and rounded to 16 bits. How fast that is, in frames a second, for a
// 16-bit file at 44100 Hz (the library's own files), a float file, and a 24-bit file at 48 kHz.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sndfile_sound_files.h"

namespace {

constexpr int kSeconds = 10;

std::filesystem::path makeFile(int format, int rate) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("dorvexia_bench_" + std::to_string(getpid()) + "_" + std::to_string(format) +
                       "_" + std::to_string(rate) + ".wav");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | format;
    std::vector<double> samples(2 * static_cast<std::size_t>(rate) * kSeconds);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i / 2) / rate);
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_double(file, samples.data(), static_cast<sf_count_t>(rate) * kSeconds);
    sf_close(file);
    return path;
}

void readWhole(benchmark::State& state, int format, int rate) {
    const std::filesystem::path path = makeFile(format, rate);
    dvx::SndfileSoundFiles files;
    std::vector<std::int16_t> buffer(2 * 1024);
    std::int64_t frames = 0;
    for (auto _ : state) {
        auto reader = files.openReader(path, 2);
        for (int got; (got = reader->read(buffer.data(), 1024)) > 0;) {
            frames += got;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(frames);
    std::filesystem::remove(path);
}

void pcm16At44k(benchmark::State& state) {
    readWhole(state, SF_FORMAT_PCM_16, 44100);
}
BENCHMARK(pcm16At44k)->Unit(benchmark::kMillisecond);

void floatAt44k(benchmark::State& state) {
    readWhole(state, SF_FORMAT_FLOAT, 44100);
}
BENCHMARK(floatAt44k)->Unit(benchmark::kMillisecond);

void pcm24At48k(benchmark::State& state) {
    readWhole(state, SF_FORMAT_PCM_24, 48000);
}
BENCHMARK(pcm24At48k)->Unit(benchmark::kMillisecond);

}  // namespace
