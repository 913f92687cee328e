// The real PortAudio backend on real devices: ALSA devices on the null sinks of a private
// PulseAudio server (tests/support/null_sinks.sh runs this program beside one). No sound card
// is needed, and every device is there: a missing one fails the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "null_sink_support.h"
#include "platform/portaudio_backend.h"
#include "platform/portaudio_stream.h"

namespace dvx {
namespace {

using namespace std::chrono_literals;

using test::Capture;
using test::moduleOf;
using test::pactl;
using test::Tone;
using test::waitFor;

// Where the ALSA device named `name` ("NetOut") stands in a list ("NetOut (ALSA)").
int indexOf(const std::vector<std::string>& names, const std::string& name) {
    return test::indexOf(names, name + " (ALSA)");
}

TEST(PortAudioDevices, WhatAnOutputPlaysArrivesSampleForSampleOnItsMonitor) {
    PortAudioBackend backend;
    Tone tone;
    Capture capture;
    auto output = backend.openOutput(indexOf(backend.outputDeviceNames(), "NetOut"), 2, tone);
    auto input = backend.openInput(indexOf(backend.inputDeviceNames(), "NetMonitor"), 2, capture);
    input->start();
    output->start();
    EXPECT_TRUE(waitFor([&] { return capture.frames() >= 3 * 44100; }));
    output->stop();
    input->stop();

    EXPECT_FALSE(output->hasFailed());
    EXPECT_FALSE(input->hasFailed());
    const std::vector<std::int16_t> heard = capture.samples();
    ASSERT_GE(heard.size(), 2u * 3 * 44100);
    // Every callback brought one buffer (the capture's are small, for a short delay), and was
    // counted; the output played at least as many frames as were heard.
    constexpr std::size_t kCaptured = PortAudioStream::kLiveFramesPerBuffer;
    EXPECT_EQ(input->stats().callbacks * 2 * kCaptured, heard.size());
    EXPECT_GE(output->stats().callbacks * kFramesPerBuffer, input->stats().callbacks * kCaptured);
    // The last second heard: the tone at its level, both channels, no sample lost on the way.
    std::vector<std::int16_t> last(heard.end() - 2 * 44100, heard.end());
    EXPECT_EQ(*std::max_element(last.begin(), last.end()), 8000);
    EXPECT_EQ(*std::min_element(last.begin(), last.end()), -8000);
    int rises = 0;
    for (std::size_t i = 2; i < last.size(); i += 2) {
        EXPECT_EQ(last[i], last[i + 1]);
        rises += last[i - 2] < 0 && last[i] >= 0 ? 1 : 0;
    }
    EXPECT_NEAR(rises, 1000, 1);
}

TEST(PortAudioDevices, ADeviceThatGoesAwayFailsItsStreamAndOpensAgainWhenBack) {
    PortAudioBackend backend;
    const int fill2 = indexOf(backend.outputDeviceNames(), "Fill2");
    Tone tone;
    auto stream = backend.openOutput(fill2, 2, tone);
    stream->start();
    ASSERT_TRUE(waitFor([&] { return stream->stats().callbacks > 10; }));

    pactl("unload-module " + moduleOf("fill2"));
    EXPECT_TRUE(waitFor([&] { return stream->hasFailed(); }));
    EXPECT_THROW(backend.openOutput(fill2, 2, tone), AudioError);  // while it is away
    stream.reset();

    pactl("load-module module-null-sink sink_name=fill2");
    auto again = backend.openOutput(fill2, 2, tone);
    again->start();
    EXPECT_TRUE(waitFor([&] { return again->stats().callbacks > 10; }));
    EXPECT_FALSE(again->hasFailed());
}

TEST(PortAudioDevices, ASuspendedDeviceStallsItsStreamWithoutAnErrorAndLetsItGo) {
    PortAudioBackend backend;
    const int fill1 = indexOf(backend.outputDeviceNames(), "Fill1");
    Tone tone;
    auto stream = backend.openOutput(fill1, 2, tone);
    stream->start();
    ASSERT_TRUE(waitFor([&] { return stream->stats().callbacks > 10; }));

    pactl("suspend-sink fill1 1");
    std::this_thread::sleep_for(500ms);  // what was queued drains
    const std::uint64_t callbacks = stream->stats().callbacks;
    std::this_thread::sleep_for(1500ms);
    // What the audio-health watch is for: no error, still "running", and no callback.
    EXPECT_EQ(stream->stats().callbacks, callbacks);
    EXPECT_TRUE(stream->isRunning());
    EXPECT_FALSE(stream->hasFailed());
    // The watch closes such a stream: that must not hang on the stalled device.
    const auto before = std::chrono::steady_clock::now();
    stream.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

    pactl("suspend-sink fill1 0");
    auto again = backend.openOutput(fill1, 2, tone);
    again->start();
    EXPECT_TRUE(waitFor([&] { return again->stats().callbacks > 10; }));
}

}  // namespace
}  // namespace dvx
