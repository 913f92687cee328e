#include <gtest/gtest.h>

#include <vector>

#include "audio_test_support.h"
#include "common/simulated_clock.h"
#include "platform/pass_through_output.h"
#include "platform/wave_input.h"

namespace dvx {
namespace {

using test::Sound;
using test::VirtualRig;

constexpr int kLeadFrames = 3000;

// Silence, a marked 1 kHz tone of half a second, then half a second of silence.
Sound toneThenSilence() {
    Sound feed =
        test::joined(test::joined(test::constant(0, kLeadFrames), test::sine(1000, 22050, 12000)),
                     test::constant(0, 22050));
    feed.samples[2 * kLeadFrames] = 12345;  // the tone's first frame, as a marker
    feed.samples[2 * kLeadFrames + 1] = -12345;
    return feed;
}

std::size_t firstSoundFrame(const Sound& sound) {
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
        if (sound.samples[i] != 0) {
            return i / static_cast<std::size_t>(sound.channels);
        }
    }
    return sound.frames();
}

// Runs the live chain WaveIn -> ring -> Fader -> WaveOut1 for two seconds with the fader at
// `volume` and returns what went on air.
Sound passThrough(const Sound& feed, int volume) {
    VirtualRig rig(feed);
    SampleRing ring(static_cast<std::size_t>(kQueueBuffers) * kBufferBytes / 2);
    VolumeStage fader(volume);
    WaveInput input(*rig.backend, *rig.pump);
    input.setRing(&ring);
    PassThroughOutput output(*rig.backend, *rig.pump, ring, fader);
    input.start();
    output.start();
    rig.advance(2.0);
    output.stop();
    input.close();
    return rig.output(0);
}

TEST(CapturePath, PassThroughPutsTheFeedOnAirUnchangedAfterWholeBuffers) {
    const Sound feed = toneThenSilence();
    const Sound played = passThrough(feed, VolumeStage::kUnity);
    const std::size_t latency = firstSoundFrame(played) - kLeadFrames;
    EXPECT_EQ(latency % kFramesPerBuffer, 0u);
    EXPECT_LE(latency, 2u * kFramesPerBuffer);
    ASSERT_GE(played.frames(), latency + feed.frames());
    EXPECT_TRUE(std::equal(feed.samples.begin(), feed.samples.end(),
                           played.samples.begin() + static_cast<std::ptrdiff_t>(2 * latency)));
    EXPECT_EQ(played.samples.back(), 0);
}

// A burst the capture delivered in one go (a stall it caught up after) must not delay the
// sound for the rest of the run: once the queue has stayed above two buffers for half a
// second, the output plays from two buffers behind the capture again.
TEST(CapturePath, PassThroughCutsABacklogBackToTwoBuffers) {
    SimulatedClock clock(2026, 3, 2, 0);
    AudioEventPump pump(clock);
    test::HandDrivenBackend backend;
    SampleRing ring(static_cast<std::size_t>(kQueueBuffers) * kBufferBytes / 2);
    VolumeStage fader;
    PassThroughOutput output(backend, pump, ring, fader);
    output.start();
    RenderSource& render = *backend.lastSource;
    constexpr int kFrames = 256;
    std::vector<std::int16_t> buffer(2 * kFrames);
    for (int i = 0; i < 40; ++i) {  // the burst
        ring.write(buffer.data(), buffer.size());
    }
    for (int i = 0; i < 2 * 44100 / kFrames; ++i) {  // then one buffer in, one out
        ring.write(buffer.data(), buffer.size());
        render.render(buffer.data(), kFrames, 2);
    }
    EXPECT_EQ(ring.available(), buffer.size());  // two buffers at the render, one after it
    EXPECT_EQ(output.droppedFrames() + output.shortFrames(), 0u);
}

TEST(CapturePath, FaderAtHalfVolumeHalvesEverySample) {
    const Sound feed = toneThenSilence();
    const Sound played = passThrough(feed, 8192);
    const std::size_t latency = firstSoundFrame(played) - kLeadFrames;
    ASSERT_GE(played.frames(), latency + feed.frames());
    bool halved = true;
    for (std::size_t i = 0; i < feed.samples.size(); ++i) {
        halved = halved && played.samples[2 * latency + i] == feed.samples[i] / 2;
    }
    EXPECT_TRUE(halved);
    EXPECT_EQ(played.samples[2 * kLeadFrames + 2 * latency], 6172);  // the marker, halved
}

class PeakLog : public CaptureObserver {
  public:
    void onBuffer(const CapturedBuffer& buffer) noexcept override { peaks.push_back(buffer.peaks); }
    std::vector<Peaks> peaks;
};

TEST(CapturePath, EveryBufferIsMeasuredAndALostInputIsReported) {
    Sound feed = test::joined(test::constant(100, 1024), test::constant(0, 1024));
    feed.samples[2 * (1024 + 500)] = -32768;
    feed.samples[2 * (1024 + 700) + 1] = 77;
    VirtualRig rig(feed);
    WaveInput input(*rig.backend, *rig.pump);
    PeakLog log;
    LevelTap meters;
    int failures = 0;
    input.addObserver(log);
    input.setTap(&meters);
    input.setOnDeviceFailed([&] { ++failures; });
    input.start();
    rig.advance(0.1);
    ASSERT_EQ(log.peaks.size(), 4u);
    EXPECT_EQ(input.bufferCount(), 4u);
    EXPECT_EQ(log.peaks[0], (Peaks{100, 100}));
    EXPECT_EQ(log.peaks[1], (Peaks{-32768, 77}));
    EXPECT_EQ(log.peaks[2], (Peaks{0, 0}));
    EXPECT_EQ(input.lastPeaks(), (Peaks{0, 0}));
    EXPECT_EQ(meters.levels(), (LevelReading{32768, 100}));

    rig.backend->setInputLost(true);
    rig.advance(0.1);
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(input.isOpen());
    rig.advance(0.1);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(log.peaks.size(), 4u);
}

}  // namespace
}  // namespace dvx
