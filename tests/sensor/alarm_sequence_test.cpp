#include "sensor/alarm_sequence.h"

#include <gtest/gtest.h>

#include "sensor/alarm_rig.h"

namespace dvx {
namespace {

const std::string kAlarm = "Alarm" + std::string(16, ' ');
const std::string kAlarmEnd = "Alarm End" + std::string(12, ' ');

TEST(AlarmSequence, SilenceRaisesOneAlarmThenAFillOnALaterTickAndSoundEndsIt) {
    test::AlarmRig rig;  // Monday 7 December 2026, 12:00:00
    rig.parameters.EmailOnAlarm = 1;
    rig.parameters.PageOnAlarm = 1;
    rig.engine.StartSensor();
    rig.sound(1);
    rig.silence(40.5);

    // The last loud buffer came at 12:00:00.989: 10 s of silence have passed at 12:00:11.
    EXPECT_EQ(rig.logLines(), std::vector<std::string>{"12:00:11 " + kAlarm});
    EXPECT_EQ(rig.notifier.emails,
              std::vector<std::string>{"WDVX Alarm | 12-07-2026 12:00:11 Silence"});
    EXPECT_EQ(rig.notifier.pages, std::vector<int>{99});
    EXPECT_EQ(rig.relayOn, 1);
    EXPECT_TRUE(rig.view.alarmShown);
    // The fill starts on a later tick than the alarm, never on the same one; the next item
    // once the 30 s item has ended.
    EXPECT_EQ(rig.fill.calls,
              (std::vector<std::string>{"StartFill@12:00:11", "NextFillItem@12:00:41"}));

    // Sound comes back at 12:00:41.5: the alarm ends a little over 3 s later, and no new item
    // starts while the sound lasts even when the playing one has ended.
    rig.sound(60);
    const auto lines = rig.logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "12:00:44 " + kAlarmEnd);
    EXPECT_FALSE(rig.view.alarmShown);
    EXPECT_EQ(rig.fill.calls.size(), 2u);
    EXPECT_EQ(rig.notifier.emails.size(), 1u);
    EXPECT_EQ(rig.notifier.pages.size(), 1u);
}

TEST(AlarmSequence, DialConnectDecidesWhetherAnAlarmThatPagesAlsoMails) {
    struct Case {
        std::int16_t dialConnect;
        std::int32_t email;
        std::int32_t page;
        std::size_t emails;
        std::size_t pages;
    };
    for (const Case c : {Case{1, 1, 1, 0, 1}, Case{1, 1, 0, 1, 0}, Case{0, 1, 1, 1, 1},
                         Case{0, 0, 1, 0, 1}, Case{1, 0, 0, 0, 0}}) {
        test::AlarmRig rig;
        rig.connection.DialConnect = c.dialConnect;
        rig.parameters.EmailOnAlarm = c.email;
        rig.parameters.PageOnAlarm = c.page;
        rig.engine.StartSensor();
        rig.silence(15);
        EXPECT_EQ(rig.notifier.emails.size(), c.emails) << c.dialConnect << c.email << c.page;
        EXPECT_EQ(rig.notifier.pages.size(), c.pages) << c.dialConnect << c.email << c.page;
    }
}

TEST(AlarmSequence, AlarmOnlyNeverFillsAndKeepsAskingForTheRestart) {
    test::AlarmRig rig;
    rig.parameters.AlarmOnly = true;
    rig.parameters.RebootOnAlarm = 1;
    rig.engine.StartSensor();
    rig.silence(12);
    EXPECT_TRUE(rig.fill.calls.empty());
    EXPECT_TRUE(rig.audio.passThrough);
    EXPECT_TRUE(rig.engine.state().FillEnded);
    EXPECT_GE(rig.restartRequests, 15);  // every tick from 10 s of silence on
}

TEST(AlarmSequence, ABurstOfSoundEndsTheAlarmEvenIfSilenceResumes) {
    test::AlarmRig rig;
    rig.parameters.AlarmOnly = true;
    rig.engine.StartSensor();
    rig.silence(20);
    EXPECT_EQ(rig.relayOn, 1);
    EXPECT_EQ(rig.relayOff, 0);
    rig.sound(0.3);
    rig.silence(5);
    const auto lines = rig.logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "12:00:10 " + kAlarm);  // not at 9.5 s, rounded up to 10
    EXPECT_EQ(lines[1], "12:00:23 " + kAlarmEnd);
    EXPECT_EQ(rig.relayOff, 1);  // the alarm relay lets go with the alarm, fill or no fill
    // The silence goes on, so a new alarm begins once it has lasted the delay again.
    rig.silence(10);
    EXPECT_EQ(rig.logLines().size(), 3u);
}

TEST(AlarmSequence, TheAlternateProgramRunsStrictlyBetweenItsStartAndStop) {
    test::AlarmRig rig;  // a Monday: weekday 2
    rig.parameters.AltDayEnabled[2] = 1;
    rig.parameters.AltStart[2] = 12 * 3600 + 5;
    rig.parameters.AltStop[2] = 12 * 3600 + 8;
    EXPECT_FALSE(alternateProgramInForce(rig.parameters, 2, 12 * 3600 + 5.0));
    EXPECT_TRUE(alternateProgramInForce(rig.parameters, 2, 12 * 3600 + 5.1));
    EXPECT_FALSE(alternateProgramInForce(rig.parameters, 2, 12 * 3600 + 8.0));
    EXPECT_FALSE(alternateProgramInForce(rig.parameters, 3, 12 * 3600 + 6.0));
    rig.parameters.AltStop[2] = rig.parameters.AltStart[2];
    EXPECT_FALSE(alternateProgramInForce(rig.parameters, 2, 12 * 3600 + 5.0));

    rig.parameters.AltStop[2] = 12 * 3600 + 8;
    rig.engine.StartSensor();
    rig.sound(6);
    EXPECT_EQ(rig.view.program, "Alternate ");
    EXPECT_TRUE(rig.engine.state().AlternateActive);
    rig.sound(3);
    EXPECT_EQ(rig.view.program, "Regular");
    EXPECT_FALSE(rig.engine.state().AlternateActive);
}

TEST(AlarmSequence, BreakFlagsClearAtTheirSecondsOnly) {
    test::AlarmRig rig(2026, 12, 7, 13 * 3600 + 3 * 60 + 8);  // 13:03:08
    rig.engine.StartSensor();
    rig.engine.state().HourBreakTaken = true;
    rig.engine.state().QuarterBreakTaken = true;
    rig.sound(1.9);  // 13:03:09.9
    EXPECT_TRUE(rig.engine.state().HourBreakTaken);
    rig.sound(0.2);
    EXPECT_FALSE(rig.engine.state().HourBreakTaken);  // 13:03:10
    EXPECT_TRUE(rig.engine.state().QuarterBreakTaken);
    rig.sound(1);  // out of the second that clears it
    rig.engine.state().HourBreakTaken = true;
    rig.sound(15 * 60);  // past 13:18:10
    EXPECT_FALSE(rig.engine.state().QuarterBreakTaken);
    EXPECT_TRUE(rig.engine.state().HourBreakTaken);
}

TEST(AlarmSequence, AStopRequestIsServedOnTheNextTick) {
    test::AlarmRig rig;
    rig.engine.StartSensor();
    rig.engine.state().StopFillOutputs = true;
    rig.sound(0.15);
    EXPECT_EQ(rig.fill.calls, std::vector<std::string>{"ServeStopRequest"});
    EXPECT_FALSE(rig.engine.state().StopFillOutputs);
}

}  // namespace
}  // namespace dvx
