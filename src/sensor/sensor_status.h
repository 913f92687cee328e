#pragma once

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

}  // namespace dvx
