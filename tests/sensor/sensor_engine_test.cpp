#include "sensor/sensor_engine.h"

#include <gtest/gtest.h>

#include "sensor/alarm_rig.h"

namespace dvx {
namespace {

// An armed-or-not sensor on a simulated clock with a scripted live chain, on Saturday
// 5 December 2026.
class SensorEngineTest : public ::testing::Test, public test::AlarmRig {
  protected:
    explicit SensorEngineTest(double startSecondsOfDay = 12 * 3600.0)
        : AlarmRig(2026, 12, 5, startSecondsOfDay) {}
};

TEST_F(SensorEngineTest, SilenceGrowsSecondBySecondAfterTheLastLoudBuffer) {
    engine.StartSensor();
    ASSERT_TRUE(engine.state().SensorRunning);
    EXPECT_TRUE(view.armed);
    EXPECT_TRUE(audio.capturing);
    EXPECT_TRUE(audio.passThrough);
    EXPECT_EQ(audio.fillStops, 1);

    sound(5);
    EXPECT_EQ(engine.state().SilenceSeconds, 0);
    EXPECT_EQ(view.silence.back(), "00:00");
    clock.advanceSeconds(7);
    EXPECT_EQ(engine.state().SilenceSeconds, 7);
    EXPECT_EQ(view.silence.back(), "00:07");
    clock.advanceSeconds(3600);
    EXPECT_EQ(view.silence.back(), " 1:00:07");
    // A quiet buffer changes nothing; a loud one starts the clock again.
    levels.onBuffer(20, 20);
    clock.advanceSeconds(0.1);
    EXPECT_EQ(engine.state().SilenceSeconds, 3607);
    levels.onBuffer(200, 0);
    clock.advanceSeconds(0.1);
    EXPECT_EQ(engine.state().SilenceSeconds, 0);
}

class SensorAtMidnightTest : public SensorEngineTest {
  protected:
    SensorAtMidnightTest() : SensorEngineTest(86400.0 - 20) {}
};

TEST_F(SensorAtMidnightTest, TheChangeOfDateIsNotADayOfSilence) {
    engine.StartSensor();
    sound(19);  // the last loud buffer is a second before midnight
    std::vector<int> measured;
    for (int second = 0; second < 5; ++second) {
        clock.advanceSeconds(1);
        measured.push_back(engine.state().SilenceSeconds);
    }
    EXPECT_EQ(clock.now().day, 6);
    EXPECT_EQ(measured, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_LT(engine.state().LastSound, 86400);
}

TEST_F(SensorEngineTest, ArmingRetriesFourTimesThenGivesUpAndReportsEachFailure) {
    audio.failStarts = 2;
    engine.StartSensor();
    EXPECT_TRUE(engine.state().SensorRunning);
    EXPECT_EQ(errors.messages.size(), 2u);
    engine.StopSensor();

    errors.messages.clear();
    audio.failStarts = 100;
    audio.captureStarts = 0;
    engine.StartSensor();
    EXPECT_FALSE(engine.state().SensorRunning);
    EXPECT_FALSE(engine.Timer1().isEnabled());
    EXPECT_EQ(audio.captureStarts, 5);
    EXPECT_EQ(errors.messages, std::vector<std::string>(5, "Device unavailable"));
}

TEST_F(SensorEngineTest, ArmingAgainWhileArmedKeepsTheSilenceClock) {
    engine.StartSensor();
    clock.advanceSeconds(6);
    engine.StartSensor();
    clock.advanceSeconds(0.1);
    EXPECT_EQ(engine.state().SilenceSeconds, 6);
    EXPECT_EQ(audio.captureStarts, 1);
}

TEST_F(SensorEngineTest, ADeadAirDelayThatWasNeverSetRefusesToArm) {
    parameters.DeadAirSeconds = 0;
    engine.StartSensor();
    EXPECT_FALSE(engine.state().SensorRunning);
    EXPECT_EQ(audio.captureStarts, 0);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("My Preferences"), std::string::npos);
}

TEST_F(SensorEngineTest, DisarmingStopsEveryStreamBlanksTheCounterAndLogsWhatStoppedIt) {
    engine.StartSensor();
    clock.advanceSeconds(3);
    ASSERT_EQ(view.silence.back(), "00:03");
    engine.state().AlarmActive = true;
    engine.state().HourBreakTaken = true;
    engine.StopSensor();
    EXPECT_EQ(view.silence.back(), "");
    EXPECT_FALSE(engine.state().SensorRunning);
    EXPECT_FALSE(engine.state().AlarmActive);
    EXPECT_FALSE(engine.state().HourBreakTaken);
    EXPECT_FALSE(view.armed);
    EXPECT_FALSE(audio.capturing);
    EXPECT_FALSE(audio.passThrough);
    EXPECT_EQ(audio.playerStops, 1);
    EXPECT_FALSE(engine.Timer1().isEnabled());
    clock.advanceSeconds(1);
    engine.StopSensor();  // not armed: nothing stopped, nothing logged
    engine.StartSensor();
    engine.StopSensor(StopReason::ProgramEnd);
    EXPECT_EQ(test::fileText(log.dailyFile(2026, 12, 5)),
              "12:00:03 Sensor Stopped During Alarm by the operator\r\n"
              "12:00:04 Sensor Stopped at program end\r\n");
}

TEST_F(SensorEngineTest, ANewThresholdTakesEffectWhileArmed) {
    parameters.Threshold = 5000;
    engine.StartSensor();
    sound(12);  // peaks of 3000: quiet under this threshold
    EXPECT_EQ(engine.state().SilenceSeconds, 12);
    parameters.Threshold = 1000;  // as the Preferences window sets it while typing
    sound(1);
    EXPECT_EQ(engine.state().SilenceSeconds, 0);
}

TEST_F(SensorEngineTest, FadeInTakes66TicksAndLogsAudioOnce) {
    audio.fader = 0;
    view.alarmShown = true;
    engine.startFadeIn();
    clock.advanceSeconds(0.05 * 65);
    EXPECT_TRUE(engine.Timer2().isEnabled());
    EXPECT_EQ(audio.fader, 65 * 250);
    clock.advanceSeconds(0.05);
    EXPECT_FALSE(engine.Timer2().isEnabled());
    EXPECT_EQ(audio.fader, 66 * 250);  // 16500: up to 249 past unity
    EXPECT_FALSE(view.alarmShown);
    clock.advanceSeconds(1);
    EXPECT_EQ(test::fileText(log.dailyFile(2026, 12, 5)), "12:00:03 Audio\r\n");
}

}  // namespace
}  // namespace dvx
