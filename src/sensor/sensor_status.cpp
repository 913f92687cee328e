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

StatusColour statusColour(StatusKind kind) {
    switch (kind) {
        case StatusKind::Monitoring:
            return {0, 140, 0};
        case StatusKind::Silence:
            return {255, 190, 0, true};
        case StatusKind::Alarm:
            return {220, 30, 30};
        case StatusKind::Filling:
            return {30, 90, 210};
        case StatusKind::Stopped:
            break;
    }
    return {120, 120, 120};
}

std::string statusToolTip(const SensorStatus& status) {
    return "Dorvexia: " + status.text;
}

std::optional<AlarmNotice> alarmNotice(bool wasActive, bool isActive) {
    if (isActive == wasActive) {
        return std::nullopt;
    }
    if (isActive) {
        return AlarmNotice{"Dorvexia: ALARM", "Dead air: the alarm has begun.", true};
    }
    return AlarmNotice{"Dorvexia: alarm over", "Sound is back: the alarm has ended."};
}

}  // namespace dvx
