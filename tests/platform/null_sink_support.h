// What the device tests on the null sinks of a private sound server share
// (tests/support/null_sinks.sh runs each test program beside one).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_backend.h"

namespace dvx::test {

// Where the device named `name` stands in a list.
inline int indexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
        ADD_FAILURE() << "no device " << name << ": is the null-sink sound server running?";
        return -1;
    }
    return static_cast<int>(found - names.begin());
}

// Waits (at most 8 s) until `done` holds. A null sink that has been idle may take up to 2 s
// to wake for a new stream.
template <typename Condition>
bool waitFor(Condition done) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 8s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Runs a pactl command line; moduleOf("net") stands for the module index of that null sink.
inline void pactl(const std::string& arguments) {
    const std::string command = "pactl " + arguments + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}
inline std::string moduleOf(const std::string& sink) {
    return "$(pactl list short modules | awk '$2 == \"module-null-sink\" && $3 == \"sink_name=" +
           sink + "\" {print $1}')";
}

// A steady 1 kHz tone at 8000, the same on both channels.
class Tone : public RenderSource {
  public:
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        for (int i = 0; i < frames; ++i, ++m_frame) {
            const auto value = static_cast<std::int16_t>(
                std::lround(8000 * std::sin(2 * M_PI * 1000.0 * m_frame / 44100)));
            std::fill(samples + i * channels, samples + (i + 1) * channels, value);
        }
    }

  private:
    long m_frame = 0;
};

// Keeps the first seconds it captures (stereo), in a buffer made before the stream starts.
class Capture : public CaptureSink {
  public:
    Capture() : m_samples(2 * 44100 * 10) {}
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override {
        const std::size_t at = m_count.load(std::memory_order_relaxed);
        const std::size_t count = std::min(m_samples.size() - at, std::size_t(frames) * channels);
        std::copy(samples, samples + count, m_samples.begin() + static_cast<std::ptrdiff_t>(at));
        m_count.store(at + count, std::memory_order_release);
    }
    std::size_t frames() const { return m_count.load(std::memory_order_relaxed) / 2; }
    // After the stream has stopped.
    std::vector<std::int16_t> samples() const {
        return {m_samples.begin(), m_samples.begin() + static_cast<std::ptrdiff_t>(m_count.load(
                                                           std::memory_order_acquire))};
    }

  private:
    std::vector<std::int16_t> m_samples;
    std::atomic<std::size_t> m_count{0};
};

}  // namespace dvx::test
