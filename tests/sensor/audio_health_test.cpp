#include "sensor/audio_health.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/audio_test_support.h"
#include "platform/main_audio_graph.h"
#include "sensor/alarm_log.h"

namespace dvx {
namespace {

// The main window's audio graph on virtual devices with the watch on it, a steady feed of
// 8000 on both channels and a simulated clock from 12:00:00. Capture on "Virtual Feed", the
// pass-through on "Virtual Out 0", player 1 and the mixer output on "Virtual Out 1".
struct HealthRig {
    HealthRig() {
        std::filesystem::create_directories(paths.logsFolder());
        graph.setDevices(0, 0, 1, 2);
    }

    void startPassThrough(int volume) {
        graph.Fader.setVolume(volume);
        graph.WaveIn.start();
        graph.WaveOut1.start();
    }
    std::vector<std::string> log() const { return test::fileLines(alarmLog.dailyFile(2026, 3, 2)); }
    // The last `seconds` that went out on a virtual output, left channel.
    std::vector<std::int16_t> lastOnAir(int output, double seconds) const {
        const test::Sound sound = audio.output(output);
        const auto frames = static_cast<std::size_t>(seconds * 44100);
        std::vector<std::int16_t> left;
        for (std::size_t i = sound.frames() - frames; i < sound.frames(); ++i) {
            left.push_back(sound.samples[2 * i]);
        }
        return left;
    }

    test::VirtualRig audio{test::constant(8000, 120 * 44100)};
    Paths paths{audio.folder.path() / "root"};
    test::RecordingErrorReporter errors;
    AlarmLog alarmLog{paths, audio.clock, errors};
    MainAudioGraph graph{*audio.backend, audio.files, *audio.pump};
    AudioHealthWatch watch{audio.clock, *audio.backend, graph, alarmLog, errors};
};

TEST(AudioHealth, ALostPassThroughIsLoggedOnceAndComesBackOnAirAtItsVolume) {
    HealthRig rig;
    rig.startPassThrough(8192);
    rig.audio.advance(1.0);
    rig.audio.backend->setOutputLost(0, true);
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:01 Audio device lost: Virtual Out 0"});
    EXPECT_EQ(rig.errors.messages.back(), "Audio device lost: Virtual Out 0");
    EXPECT_EQ(rig.watch.lostDevices(), std::vector<std::string>{"Virtual Out 0"});

    rig.audio.advance(15.0);  // three attempts to reopen it, all refused, none logged
    EXPECT_EQ(rig.log().size(), 1u);
    EXPECT_FALSE(rig.graph.WaveOut1.isRunning());

    rig.audio.backend->setOutputLost(0, false);
    rig.audio.advance(6.0);
    EXPECT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back().substr(8), " Audio device back: Virtual Out 0");
    EXPECT_EQ(rig.errors.messages.back(), "Audio device back: Virtual Out 0");
    EXPECT_TRUE(rig.watch.lostDevices().empty());
    EXPECT_TRUE(rig.graph.WaveOut1.isRunning());
    // On air again, at the fader's half volume, without a gap in the last second.
    EXPECT_EQ(rig.lastOnAir(0, 1.0), std::vector<std::int16_t>(44100, 4000));
    EXPECT_EQ(rig.watch.dropouts(), AudioDropouts{});
}

TEST(AudioHealth, AStalledInputIsLostUntilItsCallbacksComeBack) {
    HealthRig rig;
    rig.startPassThrough(16384);
    rig.audio.advance(5.0);
    rig.audio.backend->setInputStalled(true);  // no error: the callbacks simply stop
    const std::uint64_t buffers = rig.graph.WaveIn.bufferCount();
    rig.audio.advance(1.8);
    EXPECT_TRUE(rig.log().empty());
    rig.audio.advance(0.6);
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:07 Audio device lost: Virtual Feed"});

    // Reopened every few seconds; a stream that opens but delivers nothing is not "back".
    rig.audio.advance(20.0);
    EXPECT_EQ(rig.log().size(), 1u);
    EXPECT_EQ(rig.graph.WaveIn.bufferCount(), buffers);
    EXPECT_GE(rig.graph.WaveIn.health().failures, 3u);

    rig.audio.backend->setInputStalled(false);
    rig.audio.advance(8.0);
    const std::vector<std::string> log = rig.log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].substr(8), " Audio device back: Virtual Feed");
    // The pass-through waited for its two buffers once the feed was back: one buffer short.
    EXPECT_EQ(log[2].substr(8),
              " Audio dropouts: 0 overruns, 0 underruns, 0 frames dropped by "
              "the capture, 1024 by the pass-through");
    EXPECT_GT(rig.graph.WaveIn.bufferCount(), buffers + 100);
    EXPECT_EQ(rig.lastOnAir(0, 1.0), std::vector<std::int16_t>(44100, 8000));
}

TEST(AudioHealth, AFillDeviceLostBetweenItemsIsProbedUntilItIsBack) {
    HealthRig rig;
    const auto song = rig.audio.folder.path() / "MF0001.wav";
    test::writeWithProgramWriter(rig.audio.files, song, test::sine(440, 10 * 44100, 9000));
    int done = 0;
    rig.graph.WavePlayer1.setOnDone([&] { ++done; });
    rig.graph.WavePlayer1.setFileName(song);
    rig.graph.WavePlayer1.play();
    rig.audio.advance(1.0);
    rig.audio.backend->setOutputLost(1, true);
    rig.audio.advance(1.0);
    EXPECT_EQ(done, 1);  // the item ends as a stopped one does
    EXPECT_EQ(rig.log(), std::vector<std::string>{"12:00:01 Audio device lost: Virtual Out 1"});

    EXPECT_THROW(rig.graph.WavePlayer1.play(), AudioError);  // the next item cannot start
    rig.audio.advance(10.0);
    EXPECT_EQ(rig.log().size(), 1u);
    rig.audio.backend->setOutputLost(1, false);
    rig.audio.advance(5.0);
    ASSERT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back().substr(8), " Audio device back: Virtual Out 1");
    rig.graph.WavePlayer1.play();
    EXPECT_TRUE(rig.graph.WavePlayer1.isPlaying());
}

TEST(AudioHealth, DropoutsAreCountedAndLoggedAtMostOnceAMinute) {
    HealthRig rig;
    rig.startPassThrough(16384);
    rig.audio.advance(1.0);
    rig.audio.backend->flagInputOverrun();
    rig.audio.backend->flagOutputUnderrun(0);
    rig.audio.advance(0.5);
    EXPECT_EQ(rig.watch.dropouts(), (AudioDropouts{1, 1, 0, 0}));
    EXPECT_EQ(rig.log(),
              std::vector<std::string>{"12:00:01 Audio dropouts: 1 overruns, 1 underruns, "
                                       "0 frames dropped by the capture, 0 by the "
                                       "pass-through"});

    // The output hangs for 1.5 s: the ring fills in 25 buffers, then the capture drops whole
    // buffers. The output catches up on what was queued, so nothing is short.
    rig.audio.backend->setOutputStalled(0, true);
    rig.audio.advance(1.5);
    rig.audio.backend->setOutputStalled(0, false);
    rig.audio.advance(1.0);
    const AudioDropouts afterOutputHang = rig.watch.dropouts();
    EXPECT_EQ(afterOutputHang.captureDropped % kFramesPerBuffer, 0u);
    // 1.5 s is 64.6 buffers, less the ring's 25 (one or two of them already queued).
    EXPECT_NEAR(static_cast<double>(afterOutputHang.captureDropped) / kFramesPerBuffer,
                1.5 * 44100 / kFramesPerBuffer - 24, 2);
    EXPECT_EQ(afterOutputHang.passThroughShort, 0u);

    // The feed hangs for a second: the silence while nothing arrives is the feed's, but the
    // output waiting for its two buffers once the feed is back is a gap on air.
    rig.audio.backend->setInputStalled(true);
    rig.audio.advance(1.0);
    rig.audio.backend->setInputStalled(false);
    rig.audio.advance(1.0);
    EXPECT_EQ(rig.watch.dropouts().passThroughShort, static_cast<std::uint64_t>(kFramesPerBuffer));
    EXPECT_EQ(rig.log().size(), 1u);  // within the minute: no second line yet

    rig.audio.advance(60.0);
    ASSERT_EQ(rig.log().size(), 2u);
    EXPECT_EQ(rig.log().back(),
              "12:01:01 Audio dropouts: " + describeDropouts(rig.watch.dropouts()));
    EXPECT_TRUE(rig.watch.lostDevices().empty());  // hangs shorter than 2 s are not losses
}

}  // namespace
}  // namespace dvx
