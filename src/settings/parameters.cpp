#include "settings/parameters.h"

#include <algorithm>
#include <limits>

namespace dvx {
namespace {

// The weekday or slot index of a record inside a block that starts after `base`, or 0 when the
// record lies outside the block of `count` records.
int indexInBlock(int record, int base, int count) {
    const int index = record - base;
    return index >= 1 && index <= count ? index : 0;
}

template <typename Field>
bool applyToBlock(std::array<Field, 8>& days, int record, int base, std::int32_t value) {
    const int day = indexInBlock(record, base, 7);
    if (day == 0) {
        return false;
    }
    if constexpr (sizeof(Field) == 2) {
        days[static_cast<std::size_t>(day)] = saturateToInt16(value);
    } else {
        days[static_cast<std::size_t>(day)] = value;
    }
    return true;
}

}  // namespace

std::int16_t saturateToInt16(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

void applyStoredValue(Parameters& p, int record, std::int32_t value) {
    if (applyToBlock(p.AltDayEnabled, record, 7, value) ||
        applyToBlock(p.AltStart, record, 14, value) || applyToBlock(p.AltStop, record, 21, value) ||
        applyToBlock(p.TimedDayEnabled, record, 49, value) ||
        applyToBlock(p.TimedStart, record, 56, value) ||
        applyToBlock(p.TimedStop, record, 63, value)) {
        return;
    }
    if (const int slot = indexInBlock(record, 28, 6); slot != 0) {
        p.ProgramEvent[static_cast<std::size_t>(slot)] = value;
        return;
    }
    switch (record) {
        case 1:
            p.DeadAirSeconds = saturateToInt16(value);
            break;
        case 2:
            p.AlarmOnly = value == 1;
            break;
        case 3:
            p.AlarmRelay = value;
            break;
        case 7:
            p.Threshold = saturateToInt16(value);
            break;
        case 36:
            p.PageOnAlarm = value;
            break;
        case 37:
            p.EmailOnAlarm = value;
            break;
        case 38:
            p.RemoteControl = value;
            break;
        case 39:
            p.RecStopDelay = saturateToInt16(value);
            break;
        case 40:
            p.RecAutoStart = saturateToInt16(value);
            break;
        case 41:
            p.AudOutDevice = saturateToInt16(value);
            break;
        case 42:
            p.AudInDevice = saturateToInt16(value);
            break;
        case 43:
            p.RecMode = saturateToInt16(value);
            break;
        case 44:
            if (value == 0 || value == 1) {
                p.UseMixer = value == 1;
            }
            break;
        case 45:
            p.EmailOnEnd = value;
            break;
        case 46:
            p.PageOnEnd = value;
            break;
        case 47:
            p.WeeklyTest = value;
            break;
        case 71:
            p.RebootOnAlarm = value;
            break;
        case 72:
            p.AutoRun = value;
            break;
        default:
            break;  // the device records and the unused 48, 49
    }
}

bool applyDeviceRecord(DeviceChoice& devices, int record, std::int32_t value) {
    switch (record) {
        case kNetInDeviceRecord:
            devices.NetInDevice = value;
            return true;
        case kNetOutDeviceRecord:
            devices.NetOutDevice = value;
            return true;
        case kOut1DeviceRecord:
            devices.Out1Device = value;
            return true;
        case kOut2DeviceRecord:
            devices.Out2Device = value;
            return true;
        default:
            return false;
    }
}

std::string mainCaption(bool alarmOnly) {
    return alarmOnly ? "Dorvexia Alarm Only" : "Dorvexia Alarm/Fill";
}

}  // namespace dvx
