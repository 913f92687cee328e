// A long silence on a small library, end to end: the real alarm sequence, the selection and the
// fill players on virtual devices and a simulated clock, with tone files written as the
// library's own wave files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/time_text.h"
#include "fill_rig.h"

namespace dvx {
namespace {

constexpr int kSweeperSpot = 5;
constexpr int kSweeperRotation = 9001;

// A 440 Hz tone of `seconds` at 44.1 kHz, mono.
void writeTone(test::FillRig& rig, const std::filesystem::path& file, int seconds) {
    std::vector<std::int16_t> second(44100);
    for (std::size_t i = 0; i < second.size(); ++i) {
        second[i] = static_cast<std::int16_t>(3000 * std::sin(2 * M_PI * 440 * i / 44100.0));
    }
    auto writer = rig.soundFiles.createWriter(file, 1);
    for (int i = 0; i < seconds; ++i) {
        writer->write(second.data(), 44100);
    }
}

// Three tunes of 100 s in category A, program list one "A", and the regular program's
// quarter-hour slot holding a rotation of one 10 s sweeper.
void buildLibrary(test::FillRig& rig) {
    const char* const titles[] = {"Morning Tune", "Second Tune", "Third Tune"};
    for (int number = 1; number <= 3; ++number) {
        rig.data.addMusic(number, titles[number - 1], "Artist " + std::to_string(number), "A", 100);
        writeTone(rig, rig.data.music.wavePath(number), 100);
    }
    rig.data.program("A");
    rig.data.addSpot(kSweeperSpot, "Station Sweeper", 10);
    writeTone(rig, rig.data.spots.wavePath(kSweeperSpot), 10);
    rig.data.addRotation(kSweeperRotation, {{kSweeperSpot, 0}});
    rig.parameters.ProgramEvent[2] = kSweeperRotation;
}

int lineTime(const std::string& line) {
    return std::stoi(line.substr(0, 2)) * 3600 + std::stoi(line.substr(3, 2)) * 60 +
           std::stoi(line.substr(6, 2));
}

TEST(FillScenario, TwentyMinutesOfSilenceAreFilledThenSoundBackEndsTheFillAfterTheItem) {
    test::FillRig rig;
    buildLibrary(rig);
    rig.engine.StartSensor();

    // Twenty minutes of silence, watched every second: each new item is on the other player.
    const SensorState& state = rig.engine.state();
    std::vector<int> players;
    std::int32_t lastEnd = -1;
    for (int second = 1; second <= 20 * 60; ++second) {
        rig.runTo(12, 0, second - 0.5);
        if (state.ActivePlayer != 0 && state.FillLength != lastEnd) {
            lastEnd = state.FillLength;
            players.push_back(state.ActivePlayer);
        }
    }
    ASSERT_GE(players.size(), 12u);
    for (std::size_t i = 0; i < players.size(); ++i) {
        EXPECT_EQ(players[i], i % 2 == 0 ? 1 : 2) << "item " << i;
    }

    // Every item is in the playlist and, after the alarm line, in the alarm log.
    const std::vector<std::string> playlist = rig.playlist();
    ASSERT_EQ(playlist.size(), players.size());
    std::vector<std::string> alarmLog = rig.alarmLog();
    ASSERT_EQ(alarmLog.size(), playlist.size() + 1);
    EXPECT_EQ(alarmLog[0], "11:59:59 Alarm" + std::string(16, ' '));
    EXPECT_TRUE(std::equal(playlist.begin(), playlist.end(), alarmLog.begin() + 1));
    EXPECT_EQ(playlist[0], "12:00:00 " + test::padded("Morning Tune", 30));

    // One sweeper, in the quarter-hour window; music on both sides, never a title twice running.
    std::vector<std::string> sweepers;
    std::copy_if(
        playlist.begin(), playlist.end(), std::back_inserter(sweepers),
        [](const std::string& line) { return line.find("Station Sweeper") != std::string::npos; });
    ASSERT_EQ(sweepers.size(), 1u);
    EXPECT_EQ(sweepers[0].substr(9), test::padded("Station Sweeper", 25));
    const int sweeperAt = lineTime(sweepers[0]);
    EXPECT_GE(sweeperAt, 12 * 3600 + 13 * 60);
    EXPECT_LE(sweeperAt, 12 * 3600 + 18 * 60);
    for (std::size_t i = 1; i < playlist.size(); ++i) {
        EXPECT_NE(playlist[i].substr(9), playlist[i - 1].substr(9)) << playlist[i];
    }
    EXPECT_TRUE(rig.errors.messages.empty());

    // Sound comes back while an item plays: the item runs to its end, then the fill ends and
    // the feed fades back in.
    const double soundBack = rig.clock.now().secondsOfDay;
    const std::int32_t itemEnd = state.FillLength;
    ASSERT_GT(itemEnd, soundBack + 5);
    rig.sound(itemEnd - soundBack + 10);

    EXPECT_EQ(rig.playlist(), playlist);
    alarmLog = rig.alarmLog();
    ASSERT_EQ(alarmLog.size(), playlist.size() + 4);
    const auto tail = std::vector<std::string>(alarmLog.end() - 3, alarmLog.end());
    EXPECT_EQ(tail[0].substr(9), "Alarm End" + std::string(12, ' '));
    EXPECT_LE(lineTime(tail[0]) - soundBack, 4);
    EXPECT_EQ(tail[1], formatTimeOfDay(itemEnd) + " >>End Fill<<" + std::string(13, ' '));
    EXPECT_EQ(tail[2].substr(9), "Audio");
    EXPECT_GE(lineTime(tail[2]) - itemEnd, 3);
    EXPECT_LE(lineTime(tail[2]) - itemEnd, 4);
    EXPECT_TRUE(state.FillEnded);
    EXPECT_EQ(state.ActivePlayer, 0);
    EXPECT_TRUE(rig.live.passThrough);
    EXPECT_GE(rig.live.fader, 16384);
    EXPECT_FALSE(rig.graph.WavePlayer1.isPlaying());
    EXPECT_FALSE(rig.graph.WavePlayer2.isPlaying());
}

}  // namespace
}  // namespace dvx
