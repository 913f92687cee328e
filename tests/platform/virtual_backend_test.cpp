#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_test_support.h"
#include "common/io_error.h"

namespace dvx {
namespace {

using test::Sound;
using test::VirtualRig;

// Keeps every captured buffer.
class Recorder : public CaptureSink {
  public:
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override {
        buffers.push_back(frames);
        samplesSeen.insert(samplesSeen.end(), samples, samples + frames * channels);
    }
    std::vector<int> buffers;
    std::vector<std::int16_t> samplesSeen;
};

// Renders a running count, one value a frame.
class Counter : public RenderSource {
  public:
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                samples[i * channels + c] = next;
            }
            ++next;
        }
    }
    std::int16_t next = 1;
};

// Stops `stream`, lets the feed run on for `idleSeconds` with nobody listening, and keeps what a
// new stereo stream hears in its first 0.1 s.
Recorder listenAgain(VirtualRig& rig, AudioStream& stream, double idleSeconds) {
    stream.stop();
    rig.advance(idleSeconds);
    Recorder later;
    auto again = rig.backend->openInput(0, 2, later);
    again->start();
    rig.advance(0.1);
    again->stop();
    return later;
}

TEST(VirtualAudioBackend, DeliversOneBufferPer1024FramesOfClockTime) {
    VirtualRig rig(test::sine(1000, 44100, 8000));
    Recorder sink;
    auto stream = rig.backend->openInput(0, 2, sink);
    stream->start();
    rig.advance(1.0);
    EXPECT_EQ(sink.buffers.size(), 43u);  // 44100 / 1024 = 43.07
    EXPECT_EQ(sink.buffers.front(), 1024);
    rig.advance(9.0);
    EXPECT_EQ(sink.buffers.size(), 430u);  // no drift over ten seconds
    stream->stop();
    rig.advance(1.0);
    EXPECT_EQ(sink.buffers.size(), 430u);

    // The feed: the file, then digital silence.
    const Sound feed = test::sine(1000, 44100, 8000);
    ASSERT_GE(sink.samplesSeen.size(), feed.samples.size());
    EXPECT_TRUE(std::equal(feed.samples.begin(), feed.samples.end(), sink.samplesSeen.begin()));
    EXPECT_EQ(sink.samplesSeen.back(), 0);
}

TEST(VirtualAudioBackend, FeedRunsOnLikeALiveLineWhileNobodyListens) {
    // A ramp: frame n holds n / 4, so any sample tells where in the feed it came from.
    Sound ramp{2, 44100, {}};
    for (int i = 0; i < 4 * 44100; ++i) {
        ramp.samples.push_back(static_cast<std::int16_t>(i / 8));
        ramp.samples.push_back(static_cast<std::int16_t>(i / 8));
    }
    VirtualRig rig(ramp);
    Recorder first;
    auto stream = rig.backend->openInput(0, 1, first);  // mono: both channels averaged
    stream->start();
    rig.advance(0.5);
    const Recorder second = listenAgain(rig, *stream, 1.0);
    ASSERT_FALSE(first.samplesSeen.empty());
    ASSERT_FALSE(second.samplesSeen.empty());
    EXPECT_EQ(first.samplesSeen.front(), 0);
    // The second stream starts 1.5 s into the feed.
    EXPECT_NEAR(second.samplesSeen.front(), 1.5 * 44100 / 8, 2);
}

TEST(VirtualAudioBackend, LoopedFeedStartsOverWithoutAGapAndLaterStreamsHearItsPlace) {
    // A ramp of 3000 frames, not a whole number of buffers: frame n holds n. Looped, frame f of
    // the feed (1.5 s = 66150 frames in, for the later stream) holds f modulo 3000.
    Sound ramp{2, 44100, {}};
    for (int i = 0; i < 3000; ++i) {
        ramp.samples.insert(ramp.samples.end(), 2, static_cast<std::int16_t>(i));
    }
    VirtualRig rig(ramp, /*loopFeed=*/true);
    Recorder sink;
    auto stream = rig.backend->openInput(0, 2, sink);
    stream->start();
    rig.advance(0.5);
    ASSERT_GT(sink.samplesSeen.size(), 2u * 20000);
    for (std::size_t frame = 0; frame < sink.samplesSeen.size() / 2; ++frame) {
        ASSERT_EQ(sink.samplesSeen[2 * frame], static_cast<std::int16_t>(frame % 3000)) << frame;
    }
    const Recorder later = listenAgain(rig, *stream, 1.0);
    ASSERT_FALSE(later.samplesSeen.empty());
    EXPECT_NEAR(later.samplesSeen.front(), 66150 % 3000, 2);
}

TEST(VirtualAudioBackend, OutputWritesWhatItRendersAndLaterStreamsAppend) {
    VirtualRig rig;
    Counter source;
    {
        auto stream = rig.backend->openOutput(1, 2, source);
        stream->start();
        rig.advance(0.5);                   // 21 buffers
        const Sound sofar = rig.output(1);  // readable while the stream runs
        EXPECT_EQ(sofar.frames(), 21u * 1024);
        EXPECT_EQ(sofar.samples[0], 1);
        EXPECT_EQ(sofar.samples[2 * 1000 + 1], 1001);
    }
    rig.advance(1.0);  // nothing runs: nothing is written
    Counter mono;
    mono.next = -5;
    auto again = rig.backend->openOutput(1, 1, mono);
    again->start();
    rig.advance(0.1);  // 4 buffers
    again->stop();
    const Sound whole = rig.output(1);
    ASSERT_EQ(whole.frames(), 25u * 1024);
    EXPECT_EQ(whole.samples[2 * 21 * 1024], -5);  // the mono render, on both channels
    EXPECT_EQ(whole.samples[2 * 21 * 1024 + 1], -5);
    EXPECT_EQ(whole.channels, 2);
    EXPECT_EQ(whole.sampleRate, 44100);
}

TEST(VirtualAudioBackend, BackgroundWorkRunsBeforeEveryBuffer) {
    VirtualRig rig;
    std::vector<std::string> events;
    class Logger : public RenderSource {
      public:
        explicit Logger(std::vector<std::string>& log) : m_log(log) {}
        void render(std::int16_t* samples, int frames, int channels) noexcept override {
            std::fill(samples, samples + frames * channels, std::int16_t{0});
            m_log.push_back("render");
        }

      private:
        std::vector<std::string>& m_log;
    } logger(events);
    auto work = rig.backend->startBackgroundWork([&] {
        events.push_back("work");
        return false;  // runs before every buffer all the same
    });
    auto stream = rig.backend->openOutput(0, 2, logger);
    stream->start();
    rig.advance(0.05);  // two buffers
    EXPECT_EQ(events, (std::vector<std::string>{"work", "render", "work", "render"}));
    int ran = 0;
    work->runExclusive([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

TEST(VirtualAudioBackend, LostOrMissingDevicesFailTheirStreamsAndRefuseNewOnes) {
    VirtualRig rig;
    Counter source;
    Recorder sink;
    EXPECT_THROW(rig.backend->openInput(1, 2, sink), AudioError);  // one feed, three outputs
    EXPECT_THROW(rig.backend->openOutput(3, 2, source), AudioError);
    auto stream = rig.backend->openOutput(2, 2, source);
    stream->start();
    rig.advance(0.1);
    EXPECT_FALSE(stream->hasFailed());
    rig.backend->setOutputLost(2, true);
    EXPECT_TRUE(stream->hasFailed());
    EXPECT_FALSE(stream->isRunning());
    const std::int16_t before = source.next;
    rig.advance(0.5);
    EXPECT_EQ(source.next, before);  // no more callbacks
    EXPECT_THROW(stream->start(), AudioError);
    EXPECT_THROW(rig.backend->openOutput(2, 2, source), AudioError);

    rig.backend->setOutputLost(2, false);
    auto replacement = rig.backend->openOutput(2, 2, source);
    replacement->start();
    rig.advance(0.1);
    EXPECT_GT(source.next, before);

    auto input = rig.backend->openInput(0, 2, sink);
    input->start();
    rig.backend->setInputLost(true);
    EXPECT_TRUE(input->hasFailed());
    EXPECT_THROW(rig.backend->openInput(0, 2, sink), AudioError);
}

TEST(VirtualAudioBackend, FeedIsCheckedAndOutputFolderMadeAtOnce) {
    test::TempFolder folder;
    SimulatedClock clock(2026, 3, 2, 0);
    SndfileSoundFiles files;
    EXPECT_THROW(
        VirtualAudioBackend(clock, files, VirtualAudioConfig{folder.path() / "none.wav", {}}),
        IoError);

    const auto outputs = folder.path() / "run" / "outputs";
    VirtualAudioBackend backend(clock, files, VirtualAudioConfig{{}, outputs});
    EXPECT_TRUE(std::filesystem::is_directory(outputs));
    EXPECT_EQ(backend.outputFile(2), outputs / "out2.wav");
}

}  // namespace
}  // namespace dvx
