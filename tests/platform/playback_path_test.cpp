#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

#include "audio_test_support.h"
#include "common/io_error.h"
#include "platform/main_audio_graph.h"
#include "platform/mixer_output.h"
#include "platform/wave_player.h"

namespace dvx {
namespace {

using test::Sound;
using test::VirtualRig;

// The left channel as runs of equal values: {value, frames}.
std::vector<std::pair<int, std::size_t>> runsOf(const Sound& sound) {
    std::vector<std::pair<int, std::size_t>> runs;
    for (std::size_t i = 0; i < sound.samples.size(); i += 2) {
        if (runs.empty() || runs.back().first != sound.samples[i]) {
            runs.emplace_back(sound.samples[i], 0);
        }
        ++runs.back().second;
    }
    return runs;
}

TEST(PlaybackPath, PlayerPlaysTheFileAndSaysDoneOnceOnTheMainThread) {
    VirtualRig rig;
    const Sound song = test::sine(440, 30000, 9000);
    const auto path = rig.folder.path() / "MF0001.wav";
    test::writeWithProgramWriter(rig.files, path, song);
    WavePlayer player(*rig.backend, rig.files, *rig.pump);
    player.setDevice(1);
    int done = 0;
    std::thread::id doneThread;
    player.setOnDone([&] {
        ++done;
        doneThread = std::this_thread::get_id();
    });
    player.setFileName(path);
    EXPECT_EQ(player.lengthMs(), 680);
    player.play();
    rig.advance(0.3);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_NEAR(player.positionMs(), 279, 25);
    rig.advance(1.0);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.positionMs(), 680);
    rig.advance(1.0);
    EXPECT_EQ(done, 1);

    const Sound played = rig.output(1);
    ASSERT_GE(played.frames(), song.frames());
    EXPECT_TRUE(std::equal(song.samples.begin(), song.samples.end(), played.samples.begin()));
    EXPECT_LE(played.frames(), song.frames() + 3 * kFramesPerBuffer);  // silence until noticed

    // Played again from the start; paused, the position holds; stopped, done follows later.
    player.play();
    rig.advance(0.2);
    player.pause();
    const std::int64_t pausedAt = player.positionMs();
    rig.advance(0.5);
    EXPECT_EQ(player.positionMs(), pausedAt);
    EXPECT_LT(pausedAt, 300);
    player.play();
    rig.advance(0.1);
    player.stop();
    EXPECT_EQ(done, 1);  // not inside stop()
    rig.advance(0.05);
    EXPECT_EQ(done, 2);
    EXPECT_EQ(player.positionMs(), 0);
    rig.advance(1.0);
    EXPECT_EQ(done, 2);

    // A file that cannot be read: an error now, and a play that ends at once.
    EXPECT_THROW(player.setFileName(rig.folder.path() / "missing.wav"), IoError);
    player.play();
    rig.advance(0.05);
    EXPECT_EQ(done, 3);
}

struct MixerRig {
    VirtualRig rig;
    FileSource input0{*rig.backend, rig.files};
    FileSource input1{*rig.backend, rig.files};
    WaveMixer mixer{input0, input1};
    MixerOutput output{*rig.backend, *rig.pump, mixer};
    std::vector<FillNotification> notifications;

    MixerRig() {
        output.setDevice(1);
        output.setOnNotification([this](FillNotification n) { notifications.push_back(n); });
    }
    std::filesystem::path file(const char* name, const Sound& sound) {
        const auto path = rig.folder.path() / name;
        test::writeWithProgramWriter(rig.files, path, sound);
        return path;
    }
};

TEST(PlaybackPath, MixerPlaysTwoFilesOverlappingAndSaysWhenBothHaveRunDry) {
    MixerRig fill;
    const auto first = fill.file("a.wav", test::constant(1000, 22050));   // 0.5 s
    const auto second = fill.file("b.wav", test::constant(2000, 44100));  // 1 s
    fill.input0.setFileName(first);
    fill.output.start();
    fill.mixer.setInputHeld(0, false);
    fill.rig.advance(0.3);  // 12 buffers
    fill.mixer.setInputHeld(1, true);
    fill.input1.setFileName(second);
    fill.mixer.setInputHeld(1, false);
    fill.rig.advance(0.5);
    EXPECT_TRUE(fill.notifications.empty());  // the first ran dry while the second plays
    fill.rig.advance(1.0);
    EXPECT_EQ(fill.notifications, std::vector<FillNotification>{FillNotification::FillFinished});
    fill.rig.advance(1.0);
    EXPECT_EQ(fill.notifications.size(), 1u);
    EXPECT_TRUE(fill.output.isRunning());  // silence until someone stops it
    fill.output.stop();

    const auto runs = runsOf(fill.rig.output(1));
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0], std::make_pair(1000, std::size_t{12 * 1024}));
    EXPECT_EQ(runs[1].first, 3000);
    EXPECT_EQ(runs[0].second + runs[1].second, 22050u);
    EXPECT_EQ(runs[2].first, 2000);
    EXPECT_EQ(runs[1].second + runs[2].second, 44100u);
    EXPECT_EQ(runs[3].first, 0);
}

TEST(PlaybackPath, HeldMixerInputIsSilentAndKeepsItsPlace) {
    MixerRig fill;
    fill.input1.setFileName(fill.file("b.wav", test::constant(2000, 44100)));
    fill.output.start();
    fill.rig.advance(0.2);
    fill.mixer.setInputHeld(1, true);
    fill.rig.advance(0.3);
    EXPECT_TRUE(fill.notifications.empty());  // held is not finished
    fill.mixer.setInputHeld(1, false);
    fill.rig.advance(1.5);
    EXPECT_EQ(fill.notifications, std::vector<FillNotification>{FillNotification::FillFinished});
    fill.output.stop();

    const auto runs = runsOf(fill.rig.output(1));
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].first, 2000);
    EXPECT_EQ(runs[1].first, 0);
    EXPECT_NEAR(static_cast<double>(runs[1].second), 0.3 * 44100, 1024);
    EXPECT_EQ(runs[2].first, 2000);
    EXPECT_EQ(runs[0].second + runs[2].second, 44100u);  // nothing skipped while held
}

TEST(PlaybackPath, LostFillDeviceAsksForTheOutputsToBeStopped) {
    MixerRig fill;
    fill.input0.setFileName(fill.file("a.wav", test::constant(1000, 44100)));
    fill.output.start();
    fill.rig.advance(0.2);
    fill.rig.backend->setOutputLost(1, true);
    fill.rig.advance(0.1);
    EXPECT_EQ(fill.notifications, std::vector<FillNotification>{FillNotification::StopOutputs});
    EXPECT_FALSE(fill.output.isRunning());
    EXPECT_THROW(fill.output.start(), AudioError);
}

TEST(PlaybackPath, MainGraphFeedsItsMetersAndOutputs) {
    VirtualRig rig(test::sine(1000, 44100, 16000));
    MainAudioGraph graph(*rig.backend, rig.files, *rig.pump);
    graph.setDevices(0, 0, 1, 2);
    const auto path = rig.folder.path() / "SF0002.wav";
    test::writeWithProgramWriter(rig.files, path, test::constant(-3000, 44100));
    graph.WaveIn.start();
    graph.WaveOut1.start();
    graph.WavePlayer2.setFileName(path);
    graph.WavePlayer2.play();
    graph.WaveFile1.setFileName(path);
    graph.WaveOut2.start();
    rig.advance(0.5);
    EXPECT_NEAR(graph.MMConnectorX1.levels().left, 16000, 10);
    EXPECT_EQ(graph.MMConnectorX3.levels(), (LevelReading{3000, 3000}));
    EXPECT_EQ(graph.MMConnectorX4.levels(), (LevelReading{3000, 3000}));
    EXPECT_EQ(graph.MMConnectorX2.levels(), (LevelReading{0, 0}));
    EXPECT_GT(rig.output(0).frames(), 0u);
    EXPECT_EQ(rig.output(2).samples[0], -3000);
}

}  // namespace
}  // namespace dvx
