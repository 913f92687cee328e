#pragma once

#include <optional>
#include <string>

#include "sensor/sensor_state.h"

namespace dvx {

// What the sensor is doing, in one word for the main window's status line.
enum class StatusKind { Stopped, Monitoring, Silence, Alarm, Filling };

struct SensorStatus {
    StatusKind kind = StatusKind::Stopped;
    std::string text;  // "Stopped", "Monitoring", "Silence 4 s", "ALARM", "Filling"
    bool operator==(const SensorStatus&) const = default;
};

// The status of the sensor as `state` holds it, `fillSounds` telling whether a fill item is
// audible. A disarmed sensor is "Stopped" even while a fill it left behind winds down: nobody is
// watching the feed. Armed, a fill that sounds comes first; a fill with nothing to play (an empty
// library, files that will not play) leaves dead air and shows as the alarm it is. Then the
// alarm, then a silence of a second or more ("Silence 4 s"), else "Monitoring".
SensorStatus sensorStatus(const SensorState& state, bool fillSounds);

// The colour each state is shown on, wherever it is shown (the status line, the tray icon):
// grey stopped, green monitoring, amber silence, red alarm, blue filling; `darkText` when black
// reads better on it than white.
struct StatusColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool darkText = false;
    bool operator==(const StatusColour&) const = default;
};
StatusColour statusColour(StatusKind kind);

// The status as a tool tip names it outside the main window: "Dorvexia: Silence 4 s".
std::string statusToolTip(const SensorStatus& status);

// What the desktop is told when an alarm begins or ends.
struct AlarmNotice {
    std::string title;
    std::string text;
    bool begins = false;  // else it ends
};
// The notice for the alarm going from `wasActive` to `isActive`: nothing when it did not change.
std::optional<AlarmNotice> alarmNotice(bool wasActive, bool isActive);

}  // namespace dvx
