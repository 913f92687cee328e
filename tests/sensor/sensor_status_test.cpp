#include "sensor/sensor_status.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

SensorState armed(std::int32_t silence, bool alarm, bool fillEnded) {
    SensorState state;
    state.SensorRunning = true;
    state.SilenceSeconds = silence;
    state.AlarmActive = alarm;
    state.FillEnded = fillEnded;
    return state;
}

TEST(SensorStatus, NamesEveryStateAndPutsTheFillBeforeTheAlarmAndStoppedBeforeBoth) {
    const auto status = [](const SensorState& state) { return sensorStatus(state, true); };
    EXPECT_EQ(status(SensorState{}), (SensorStatus{StatusKind::Stopped, "Stopped"}));
    EXPECT_EQ(status(armed(0, false, true)), (SensorStatus{StatusKind::Monitoring, "Monitoring"}));
    EXPECT_EQ(status(armed(1, false, true)), (SensorStatus{StatusKind::Silence, "Silence 1 s"}));
    EXPECT_EQ(status(armed(74, false, true)), (SensorStatus{StatusKind::Silence, "Silence 74 s"}));
    EXPECT_EQ(status(armed(9, true, true)), (SensorStatus{StatusKind::Alarm, "ALARM"}));
    // Sound back during the alarm: still the alarm until it ends.
    EXPECT_EQ(status(armed(0, true, true)).kind, StatusKind::Alarm);
    EXPECT_EQ(status(armed(12, true, false)), (SensorStatus{StatusKind::Filling, "Filling"}));
    // The fill's tail after the alarm has ended, sound back.
    EXPECT_EQ(status(armed(0, false, false)).kind, StatusKind::Filling);
    // Disarmed while a fill winds down: nobody watches the feed.
    SensorState windingDown = armed(12, false, false);
    windingDown.SensorRunning = false;
    EXPECT_EQ(status(windingDown).kind, StatusKind::Stopped);
}

}  // namespace
}  // namespace dvx
