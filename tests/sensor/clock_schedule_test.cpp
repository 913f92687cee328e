#include "sensor/clock_schedule.h"

#include <gtest/gtest.h>

#include "sensor/alarm_rig.h"

namespace dvx {
namespace {

// The clock tick beside the alarm rig, with a count of input polls.
struct ScheduleRig : test::AlarmRig {
    using AlarmRig::AlarmRig;
    int polls = 0;
    ClockSchedule schedule{clock, engine,   parameters, Facility,
                           log,   notifier, view,       [this] { ++polls; }};
};

TEST(ClockSchedule, ShowsTheDateAndTimeAndPollsTheInputsEveryTick) {
    ScheduleRig rig(2005, 12, 5, 8 * 3600 - 0.05);
    rig.silence(0.1);
    EXPECT_EQ(rig.view.clock, "Monday  12/05/2005  08:00:00");
    EXPECT_EQ(rig.schedule.ClockWeekday(), 2);
    rig.silence(0.9);
    EXPECT_EQ(rig.polls, 10);
}

TEST(ClockSchedule, TimedStartAndStopOnEnabledDaysOnly) {
    ScheduleRig rig(2026, 12, 7, 6 * 3600 - 1);  // Monday 05:59:59
    rig.parameters.DeadAirSeconds = 10;
    rig.parameters.TimedDayEnabled[2] = 1;
    rig.parameters.TimedStart[2] = 6 * 3600;
    rig.parameters.TimedStop[2] = 6 * 3600 + 30;
    rig.parameters.TimedStart[3] = 7 * 3600;  // Tuesday is not enabled
    rig.silence(2);
    EXPECT_TRUE(rig.engine.state().SensorRunning);
    rig.sound(40);
    EXPECT_FALSE(rig.engine.state().SensorRunning);
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"06:00:00 Timed Start Sensor",
                                                        "06:00:30 Sensor Stopped by the timed stop",
                                                        "06:00:30 Timed Stop Sensor"}));
    rig.clock.advanceTo(7 * 3600 + 5);  // Tuesday 07:00:05
    EXPECT_FALSE(rig.engine.state().SensorRunning);

    // Already running at the start time: no line.
    ScheduleRig armed(2026, 12, 7, 6 * 3600 - 1);
    armed.parameters.TimedDayEnabled[2] = 1;
    armed.parameters.TimedStart[2] = 6 * 3600;
    armed.parameters.TimedStop[2] = 9 * 3600;
    armed.engine.StartSensor();
    armed.sound(2);
    EXPECT_TRUE(armed.logLines().empty());

    // A start the sensor refuses is logged as what it is.
    ScheduleRig refused(2026, 12, 7, 6 * 3600 - 1);
    refused.parameters.TimedDayEnabled[2] = 1;
    refused.parameters.TimedStart[2] = 6 * 3600;
    refused.audio.failStarts = 100;
    refused.silence(2);
    EXPECT_FALSE(refused.engine.state().SensorRunning);
    EXPECT_EQ(refused.logLines(),
              std::vector<std::string>{"06:00:00 Timed Start Sensor failed: Device unavailable"});
}

TEST(ClockSchedule, StartEqualToStopStartsAndStopsOnceAndEndsDisarmed) {
    ScheduleRig rig(2026, 12, 7, 6 * 3600 - 0.5);
    rig.parameters.TimedDayEnabled[2] = 1;
    rig.parameters.TimedStart[2] = 6 * 3600;
    rig.parameters.TimedStop[2] = 6 * 3600;
    rig.silence(2);
    EXPECT_FALSE(rig.engine.state().SensorRunning);
    EXPECT_EQ(rig.logLines(), (std::vector<std::string>{"06:00:00 Timed Start Sensor",
                                                        "06:00:00 Sensor Stopped by the timed stop",
                                                        "06:00:00 Timed Stop Sensor"}));
    EXPECT_EQ(rig.audio.captureStarts, 1);
}

TEST(ClockSchedule, WeeklyTestsFireOnceOnMondayAndTuesdayMorningsWhileArmed) {
    ScheduleRig rig(2026, 12, 7, 8 * 3600 - 2);  // Monday 07:59:58
    rig.parameters.DeadAirSeconds = 99;
    rig.parameters.WeeklyTest = 1;
    rig.parameters.EmailOnAlarm = 1;
    rig.parameters.PageOnAlarm = 1;
    rig.engine.StartSensor();
    rig.sound(4);
    EXPECT_EQ(rig.notifier.emails,
              std::vector<std::string>{"WDVX Alarm | 12-07-2026 08:00:00 Dorvex Weekly Test"});
    EXPECT_TRUE(rig.notifier.pages.empty());  // the page test is on Tuesdays
    rig.clock.advanceTo(8 * 3600 + 58);       // Monday 08:00:58 (the sensor hears silence)
    rig.engine.StopSensor();
    rig.clock.advanceSeconds(86400 + 1);  // Tuesday 08:00:59
    rig.engine.StartSensor();
    rig.sound(2);
    EXPECT_EQ(rig.notifier.pages, std::vector<int>{11});
    EXPECT_EQ(rig.notifier.emails.size(), 1u);

    // Disarmed, nothing fires.
    ScheduleRig idle(2026, 12, 7, 8 * 3600 - 1);
    idle.parameters.WeeklyTest = 1;
    idle.parameters.EmailOnAlarm = 1;
    idle.silence(3);
    EXPECT_TRUE(idle.notifier.emails.empty());
}

}  // namespace
}  // namespace dvx
