#include "fill/fill_players.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "common/record_codec.h"
#include "fill/play_history.h"
#include "fill/program_list.h"
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

// The disk is full: no play can be counted in the history, yet every item plays on time, and
// each lost count is shown and logged.
TEST(FillPlayers, APlayTheDiskCannotCountIsReportedAndTheFillPlaysOn) {
    test::FillRig rig;
    addThreeItems(rig);
    rig.data.files.MusHist = RecordFile("/dev/full", kPlayHistoryRecordLength);
    rig.engine.StartSensor();
    rig.runTo(12, 1, 10.15);

    EXPECT_EQ(rig.playlist().size(), 3u);
    ASSERT_FALSE(rig.errors.messages.empty());
    EXPECT_NE(rig.errors.messages[0].find("No space left on device"), std::string::npos)
        << rig.errors.messages[0];
    const auto log = rig.alarmLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find(" Play not counted: ") != std::string::npos;
                            }),
              3);
}

// Garbage where a catalogue entry's end mark should be: an item of no length would start again
// on every tick, and one whose mark lies far past its file's end would leave the air silent
// until then. The first is passed over like a file without sound; the second ends with its file.
TEST(FillPlayers, AnEndMarkOfGarbageNeitherChurnsNorSilencesTheFill) {
    test::FillRig rig;
    rig.addItem(1, "Garbled", "Ann", 10, 10);
    rig.addItem(2, "Stretched", "Bob", 10, 5000);
    rig.addItem(3, "Plain", "Cal", 10, 10);
    rig.data.program("A");
    MusicRecord garbled = rig.data.music.read(1);
    garbled.EOM = "\x7f\xfe?\x01";
    rig.data.music.write(1, garbled);
    rig.engine.StartSensor();
    rig.runTo(12, 0, 29.5);

    EXPECT_EQ(rig.playlist(), (std::vector<std::string>{"12:00:00 " + title("Stretched"),
                                                        "12:00:10 " + title("Plain"),
                                                        "12:00:20 " + title("Stretched")}));
    const auto log = rig.alarmLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find(" Skipped MF0001.wav: ") != std::string::npos;
                            }),
              1);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("MF0001.wav"), std::string::npos);
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

TEST(FillPlayers, AFillWithNothingToPlayGoesOnAndEndsWhenTheAlarmHas) {
    test::FillRig rig;
    rig.data.program("A");  // no music yet
    rig.engine.StartSensor();
    rig.runTo(12, 0, 2.05);
    const std::string noMusic =
        "No music to play in category A: no active music file of it is marked for the fill, "
        "other than the title or artist just played.";
    EXPECT_EQ(rig.errors.messages, std::vector<std::string>{noMusic});  // once, not per tick
    const SensorState& state = rig.engine.state();
    EXPECT_FALSE(state.FillEnded);  // the fill is on, with nothing to play yet
    EXPECT_NE(state.ActivePlayer, 0);
    EXPECT_FALSE(rig.live.passThrough);
    EXPECT_TRUE(rig.playlist().empty());

    rig.addItem(1, "Five", "Artist 1", 5);
    rig.runTo(12, 0, 2.15);
    EXPECT_EQ(rig.playlist(), std::vector<std::string>{"12:00:02 " + title("Five")});
    EXPECT_EQ(state.FillLength, 12 * 3600 + 7);

    // Sound comes back after the only tune has been played: no player will report an end, yet
    // the fill ends once the alarm has.
    rig.runTo(12, 0, 15);
    rig.sound(6);
    EXPECT_EQ(endFillLines(rig.alarmLog()), 1u);
    EXPECT_TRUE(state.FillEnded);
    EXPECT_EQ(rig.relayOffs, 1);
    EXPECT_TRUE(rig.live.passThrough);
}

// A program list of three categories: each choice takes the category the list has played
// least, and within it the tune played longest ago. Tunes of 10 s; "Broken" has no file and
// "Hollow" one without a single sample: both are passed over, logged once, and never counted.
TEST(FillPlayers, AProgramListOfThreeCategoriesRotatesAndFilesThatWillNotPlayAreSkipped) {
    test::FillRig rig;
    rig.addItem(1, "Apple", "Ann", 10, 10, "A");
    rig.addItem(2, "Apricot", "Abe", 10, 10, "A");
    rig.data.addMusic(3, "Broken", "Bob", "B", 10);  // no file at all
    rig.addItem(4, "Banana", "Bea", 10, 10, "B");
    rig.addItem(5, "Hollow", "Cal", 0, 10, "C");
    rig.addItem(6, "Cherry", "Cid", 10, 10, "C");
    rig.data.program("ABC");
    rig.engine.StartSensor();
    rig.runTo(12, 1, 10.05);  // seven items, the seventh starting at 12:01:00

    std::vector<std::string> titles;
    for (const std::string& line : rig.playlist()) {
        titles.push_back(trimBlanks(line.substr(9)));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Apple", "Banana", "Cherry", "Apricot", "Banana",
                                                "Cherry", "Apple"}));
    const auto skipped = [&](const std::string& file) {
        const auto log = rig.alarmLog();
        return std::count_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.find("Skipped " + file) != std::string::npos;
        });
    };
    EXPECT_EQ(skipped("MF0003.wav"), 1);
    EXPECT_EQ(skipped("MF0005.wav: it holds no sound"), 1);
    EXPECT_EQ(rig.errors.messages.size(), 2u);

    // Nothing counts for the files that did not play: no history stamp, and each list entry
    // counts the items of its category that played.
    PlayHistory history(rig.data.files.MusHist);
    EXPECT_EQ(history.stamp(3), std::string(12, '\0'));
    EXPECT_EQ(history.stamp(5), std::string(12, '\0'));
    EXPECT_EQ(history.stamp(1), "261207120100");
    ProgramList list(rig.data.files.MusRotFileOne);
    EXPECT_EQ(list.read(1).Plays, 3);
    EXPECT_EQ(list.read(2).Plays, 2);
    EXPECT_EQ(list.read(3).Plays, 2);

    // The next fill gives them their chance again (and logs them again).
    rig.sound(15);
    ASSERT_TRUE(rig.engine.state().FillEnded);
    rig.clock.advanceSeconds(40);
    EXPECT_EQ(skipped("MF0003.wav"), 2);
}

// Tunes 16 s long whose end mark is at 8 s: each item starts while the one before still sounds.
// Sound returns while one item plays and the older one's tail still sounds; the fill must end
// only when the newer one has played to its end, on either player and with the mixer alike.
TEST(FillPlayers, TheFillEndsOnlyWhenNoItemSoundsAnyMore) {
    for (const bool mixer : {false, true}) {
        for (const int soundBackAt : {9, 17}) {  // during the second item, during the third
            SCOPED_TRACE(std::string(mixer ? "mixer" : "players") +
                         ", sound back at 12:00:" + std::to_string(soundBackAt));
            test::FillRig rig;
            rig.parameters.UseMixer = mixer;
            rig.addItem(1, "First", "Artist 1", 16, 8);
            rig.addItem(2, "Second", "Artist 2", 16, 8);
            rig.addItem(3, "Third", "Artist 3", 16, 8);
            rig.data.program("A");
            rig.engine.StartSensor();
            rig.runTo(12, 0, soundBackAt);
            rig.sound(30);

            // The item that started last began at 12:00:08 or 12:00:16 and sounds for 16 s.
            const int lastStart = soundBackAt < 16 ? 8 : 16;
            const auto log = rig.alarmLog();
            ASSERT_EQ(endFillLines(log), 1u);
            const auto end = std::find_if(log.begin(), log.end(), [](const std::string& line) {
                return line.find(">>End Fill<<") != std::string::npos;
            });
            EXPECT_EQ(end->substr(0, 8), "12:00:" + std::to_string(lastStart + 16));
            EXPECT_EQ(rig.playlist().size(), soundBackAt < 16 ? 2u : 3u);
            EXPECT_TRUE(rig.engine.state().FillEnded);
        }
    }
}

// Armed at 23:59:20, silent: the fill starts at 23:59:30 with a tune of 40 s that ends after
// midnight. The program stalls for three seconds across midnight; the next item must still
// start when the tune's time is up, and the fill end after midnight restores the live feed.
TEST(FillPlayers, AnItemOverMidnightEndsOnTimeEvenWhenTheProgramStallsAtMidnight) {
    test::FillRig rig(23 * 3600 + 59 * 60 + 20);
    rig.addItem(1, "Late Tune", "Artist 1", 40);
    rig.addItem(2, "Early Tune", "Artist 2", 40);
    rig.data.program("A");
    rig.engine.StartSensor();
    rig.runTo(23, 59, 59.5);
    rig.engine.Timer1().setEnabled(false);  // the main thread is busy elsewhere
    rig.runTo(0, 0, 3);
    rig.engine.Timer1().setEnabled(true);
    rig.runTo(0, 0, 10.15);
    EXPECT_EQ(rig.playlist(), (std::vector<std::string>{"23:59:30 " + title("Late Tune"),
                                                        "00:00:10 " + title("Early Tune")}));
    EXPECT_EQ(rig.engine.state().FillLength, 50);  // 00:00:50

    rig.sound(45);
    const auto log = rig.alarmLog(8);
    EXPECT_NE(std::find(log.begin(), log.end(), "00:00:50 " + kEndFill), log.end());
    EXPECT_TRUE(rig.engine.state().FillEnded);
    EXPECT_TRUE(rig.live.passThrough);
    EXPECT_GE(rig.live.fader, 16384);
}

// Stop (or the timed stop) during a fill: the stop is logged, the item playing runs out as when
// sound returns, no new item starts, then the live feed fades back in and stays on air; the end
// notices follow the end-of-alarm settings.
TEST(FillPlayers, StoppingDuringAFillLetsTheItemRunOutThenFadesTheFeedBackIn) {
    for (const int emailOnEnd : {0, 1}) {
        SCOPED_TRACE("EmailOnEnd " + std::to_string(emailOnEnd));
        test::FillRig rig;
        addThreeItems(rig);
        rig.parameters.EmailOnEnd = emailOnEnd;
        rig.engine.StartSensor();
        rig.runTo(12, 0, 5);
        rig.engine.StopSensor();
        EXPECT_FALSE(rig.engine.state().SensorRunning);
        EXPECT_TRUE(rig.graph.WavePlayer1.isPlaying());

        rig.runTo(12, 0, 45);  // "Thirty" ends at 12:00:30; nothing follows it
        const auto log = rig.alarmLog();
        ASSERT_EQ(log.size(), 5u);
        EXPECT_EQ(log[2], "12:00:05 Sensor Stopped During Alarm by the operator");
        EXPECT_EQ(log[3], "12:00:30 " + kEndFill);
        EXPECT_EQ(log[4], "12:00:33 Audio");
        EXPECT_EQ(rig.playlist().size(), 1u);
        EXPECT_TRUE(rig.engine.state().FillEnded);
        EXPECT_TRUE(rig.live.passThrough);
        EXPECT_TRUE(rig.live.capturing);
        EXPECT_GE(rig.live.fader, 16384);
        EXPECT_FALSE(rig.engine.Timer1().isEnabled());
        EXPECT_EQ(rig.notifier.emails.size(), static_cast<std::size_t>(emailOnEnd));
        EXPECT_TRUE(rig.notifier.pages.empty());

        // Armed again, the sensor watches a feed that is on air already.
        EXPECT_TRUE(rig.engine.StartSensor());
        EXPECT_TRUE(rig.live.passThrough);
        EXPECT_EQ(rig.live.fillStops, 2);
    }
}

}  // namespace
}  // namespace dvx
