#include "fill/fill_players.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "fill_rig.h"

namespace dvx {
namespace {

const std::string kAlarm = "Alarm" + std::string(16, ' ');
const std::string kEndFill = ">>End Fill<<" + std::string(13, ' ');

std::string title(const std::string& text) {
    return test::padded(text, 30);
}

std::size_t endFillLines(const std::vector<std::string>& lines) {
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](auto& line) {
        return line.find(">>End Fill<<") != std::string::npos;
    }));
}

// Items of 30, 40 and 20 seconds.
void addThreeItems(test::FillRig& rig) {
    rig.addItem(1, "Thirty", "Artist 1", 30);
    rig.addItem(2, "Forty", "Artist 2", 40);
    rig.addItem(3, "Twenty", "Artist 3", 20);
    rig.data.program("A");
}

TEST(FillPlayers, EachItemStartsOnTheOtherPlayerOnTheFirstTickAfterItsPredecessorsEndTime) {
    test::FillRig rig;
    addThreeItems(rig);
    rig.engine.StartSensor();

    rig.runTo(12, 0, 0.05);
    const SensorState& state = rig.engine.state();
    EXPECT_EQ(rig.alarmLog(),
              (std::vector<std::string>{"11:59:59 " + kAlarm, "12:00:00 " + title("Thirty")}));
    EXPECT_EQ(rig.playlist(), std::vector<std::string>{"12:00:00 " + title("Thirty")});
    EXPECT_EQ(state.ActivePlayer, 1);
    EXPECT_FALSE(state.FillEnded);
    EXPECT_EQ(state.FillLength, 12 * 3600 + 30);
    EXPECT_TRUE(rig.graph.WavePlayer1.isPlaying());
    EXPECT_FALSE(rig.live.passThrough);
    EXPECT_EQ(rig.live.fader, 0);
    EXPECT_TRUE(rig.view.metersVisible);
    EXPECT_TRUE(rig.view.timeLeftVisible);
    EXPECT_EQ(rig.view.item, title("Thirty") + " Artist 1" + std::string(17, ' '));

    rig.runTo(12, 0, 10.05);
    EXPECT_EQ(rig.view.timeLeft, "00:20");

    // The first file has run out while the alarm lasts: its done notice changes nothing, and
    // the next item waits for the first tick after 12:00:30.
    rig.runTo(12, 0, 30.09);
    EXPECT_FALSE(rig.graph.WavePlayer1.isPlaying());
    EXPECT_EQ(state.ActivePlayer, 1);
    EXPECT_FALSE(state.FillEnded);
    EXPECT_EQ(rig.relayOffs, 0);
    EXPECT_FALSE(rig.graph.WavePlayer2.isPlaying());

    rig.runTo(12, 0, 30.15);
    EXPECT_EQ(state.ActivePlayer, 2);
    EXPECT_TRUE(rig.graph.WavePlayer2.isPlaying());
    EXPECT_EQ(state.FillLength, 12 * 3600 + 70);  // 12:00:30.1 + 40, rounded

    rig.runTo(12, 1, 10.05);
    EXPECT_EQ(state.ActivePlayer, 2);
    rig.runTo(12, 1, 10.15);
    EXPECT_EQ(state.ActivePlayer, 1);
    EXPECT_EQ(state.FillLength, 12 * 3600 + 90);
    EXPECT_EQ(rig.graph.WavePlayer1.fileName(), rig.data.music.wavePath(3));
    EXPECT_TRUE(rig.graph.WavePlayer1.isPlaying());
    EXPECT_EQ(rig.playlist(),
              (std::vector<std::string>{"12:00:00 " + title("Thirty"), "12:00:30 " + title("Forty"),
                                        "12:01:10 " + title("Twenty")}));
    EXPECT_EQ(endFillLines(rig.alarmLog()), 0u);
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(FillPlayers, SoundBackLetsTheItemFinishThenEndsTheFillOnce) {
    test::FillRig rig;
    addThreeItems(rig);
    rig.parameters.EmailOnEnd = 1;
    rig.parameters.PageOnEnd = 1;
    rig.engine.StartSensor();
    rig.runTo(12, 0, 40);
    rig.sound(40);  // until 12:01:20; "Forty" plays until 12:01:10

    const auto log = rig.alarmLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[3], "12:00:43 Alarm End" + std::string(12, ' '));
    EXPECT_EQ(log[4], "12:01:10 " + kEndFill);
    EXPECT_EQ(log[5], "12:01:13 Audio");  // the fade-in from 0 takes 3.3 s
    EXPECT_EQ(rig.playlist().size(), 2u);
    const SensorState& state = rig.engine.state();
    EXPECT_TRUE(state.FillEnded);
    EXPECT_EQ(state.ActivePlayer, 0);
    EXPECT_FALSE(state.StopFillOutputs);  // served by the next tick
    EXPECT_EQ(rig.players.RemainingSeconds(), 0);
    EXPECT_EQ(rig.relayOffs, 1);
    EXPECT_TRUE(rig.live.passThrough);
    EXPECT_GE(rig.live.fader, 16384);
    EXPECT_FALSE(rig.engine.Timer2().isEnabled());
    EXPECT_FALSE(rig.view.metersVisible);
    EXPECT_FALSE(rig.view.timeLeftVisible);
    EXPECT_EQ(rig.view.timeLeft, "");
    EXPECT_EQ(rig.notifier.emails,
              std::vector<std::string>{"WDVX Alarm | 12-07-2026 12:01:10 End Fill"});
    EXPECT_EQ(rig.notifier.pages, std::vector<int>{98});

    // With "Dial Connect" the end-of-fill page goes out without the mail.
    test::FillRig dialling;
    addThreeItems(dialling);
    dialling.parameters.EmailOnEnd = 1;
    dialling.parameters.PageOnEnd = 1;
    dialling.connection.DialConnect = 1;
    dialling.engine.StartSensor();
    dialling.runTo(12, 0, 10);
    dialling.sound(30);
    EXPECT_EQ(endFillLines(dialling.alarmLog()), 1u);
    EXPECT_TRUE(dialling.notifier.emails.empty());
    EXPECT_EQ(dialling.notifier.pages, std::vector<int>{98});
}

TEST(FillPlayers, WithTheMixerItemsAlternateMixerInputsAndNoPlayerIsUsed) {
    test::FillRig rig;
    rig.parameters.UseMixer = true;
    addThreeItems(rig);
    rig.engine.StartSensor();

    rig.runTo(12, 0, 0.05);
    EXPECT_EQ(rig.graph.WaveFile1.fileName(), rig.data.music.wavePath(1));
    EXPECT_TRUE(rig.graph.WaveOut2.isRunning());
    EXPECT_FALSE(rig.graph.Mixer.inputHeld(0));
    EXPECT_EQ(rig.engine.state().ActivePlayer, 1);

    // The first input runs dry before the second is loaded: only a gap while the alarm lasts.
    rig.runTo(12, 0, 30.15);
    EXPECT_EQ(rig.graph.WaveFile2.fileName(), rig.data.music.wavePath(2));
    EXPECT_EQ(rig.engine.state().ActivePlayer, 2);
    EXPECT_FALSE(rig.engine.state().FillEnded);

    rig.runTo(12, 1, 10.15);
    EXPECT_EQ(rig.graph.WaveFile1.fileName(), rig.data.music.wavePath(3));
    EXPECT_EQ(rig.engine.state().ActivePlayer, 1);
    EXPECT_TRUE(rig.graph.WavePlayer1.fileName().empty());
    EXPECT_TRUE(rig.graph.WavePlayer2.fileName().empty());

    rig.sound(25);  // "Twenty" runs out at 12:01:30, after the alarm has ended
    const auto log = rig.alarmLog();
    EXPECT_EQ(endFillLines(log), 1u);
    EXPECT_NE(std::find(log.begin(), log.end(), "12:01:30 " + kEndFill), log.end());
    EXPECT_TRUE(rig.engine.state().FillEnded);
    EXPECT_TRUE(rig.graph.WaveFile1.fileName().empty());
    EXPECT_TRUE(rig.graph.WaveFile2.fileName().empty());
    EXPECT_EQ(rig.relayOffs, 1);
    EXPECT_TRUE(rig.live.passThrough);
    EXPECT_EQ(rig.playlist().size(), 3u);
}

TEST(FillPlayers, AChoiceThatFailsIsReportedOnceAndTriedAgainAtTheNextTick) {
    test::FillRig rig;
    rig.data.program("A");  // no music yet
    rig.engine.StartSensor();
    rig.runTo(12, 0, 2.05);
    const std::string noMusic =
        "No music to play in category A: no active music file of it is marked for the fill, "
        "other than the title or artist just played.";
    EXPECT_EQ(rig.errors.messages, std::vector<std::string>{noMusic});
    const SensorState& state = rig.engine.state();
    EXPECT_FALSE(state.FillEnded);  // the fill is on, with nothing to play yet
    EXPECT_NE(state.ActivePlayer, 0);
    EXPECT_FALSE(rig.live.passThrough);
    EXPECT_TRUE(rig.playlist().empty());

    rig.addItem(1, "Five", "Artist 1", 5);
    rig.runTo(12, 0, 2.15);
    EXPECT_EQ(rig.playlist(), std::vector<std::string>{"12:00:02 " + title("Five")});
    EXPECT_EQ(state.FillLength, 12 * 3600 + 7);

    // A file that cannot be read is skipped for the next choice at the next tick.
    rig.data.addMusic(2, "Missing", "Artist 2", "A", 30);
    rig.runTo(12, 0, 7.25);
    ASSERT_EQ(rig.errors.messages.size(), 2u);
    EXPECT_NE(rig.errors.messages[1].find("MF0002.wav"), std::string::npos);
    EXPECT_EQ(rig.playlist().size(), 2u);
    EXPECT_EQ(rig.playlist()[1], "12:00:07 " + title("Five"));

    // Nothing left to play, and sound comes back while nothing plays: no player will report
    // an end, yet the fill ends once the alarm has.
    rig.data.addMusic(1, "Five", "Artist 1", "A", 5, 'N');
    rig.data.addMusic(2, "Missing", "Artist 2", "A", 30, 'N');
    rig.runTo(12, 0, 15);
    rig.sound(6);
    EXPECT_EQ(rig.errors.messages.size(), 3u);
    EXPECT_EQ(endFillLines(rig.alarmLog()), 1u);
    EXPECT_TRUE(state.FillEnded);
    EXPECT_EQ(rig.relayOffs, 1);
    EXPECT_TRUE(rig.live.passThrough);
}

TEST(FillPlayers, DisarmingDuringAFillEndsItWithoutRestartingThePassThrough) {
    test::FillRig rig;
    addThreeItems(rig);
    rig.engine.StartSensor();
    rig.runTo(12, 0, 5);
    rig.engine.StopSensor();
    rig.graph.WavePlayer1.stop();  // as the graph's live chain does when disarming
    rig.runTo(12, 0, 5.1);

    EXPECT_EQ(endFillLines(rig.alarmLog()), 1u);
    EXPECT_TRUE(rig.engine.state().FillEnded);
    EXPECT_EQ(rig.engine.state().ActivePlayer, 0);
    EXPECT_FALSE(rig.live.passThrough);
    EXPECT_FALSE(rig.engine.Timer2().isEnabled());
    EXPECT_EQ(rig.live.fader, 16384);  // the next arming passes the feed at full volume
}

}  // namespace
}  // namespace dvx
