#include "sensor/sensor_status.h"

namespace dvx {

SensorStatus sensorStatus(const SensorState& state, bool fillSounds) {
    if (!state.SensorRunning) {
        return {StatusKind::Stopped, "Stopped"};
    }
    if (!state.FillEnded && fillSounds) {
        return {StatusKind::Filling, "Filling"};
    }
    if (state.AlarmActive) {
        return {StatusKind::Alarm, "ALARM"};
    }
    if (state.SilenceSeconds >= 1) {
        return {StatusKind::Silence, "Silence " + std::to_string(state.SilenceSeconds) + " s"};
    }
    return {StatusKind::Monitoring, "Monitoring"};
}

}  // namespace dvx
