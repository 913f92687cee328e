#include "settings/preferences_records.h"

#include <stdexcept>
#include <utility>

#include "settings/parameter_orders.h"

namespace dvx {
namespace {

template <typename Days>
auto& weekdayField(Days& days, int record, int base) {
    return days[static_cast<std::size_t>(record - base)];
}

// The member that holds `record`; only records of the window's orders are asked for.
template <typename Values>
auto& fieldOf(Values& v, int record) {
    if (record >= 50 && record <= 56) {
        return weekdayField(v.TimedDayEnabled, record, 49);
    }
    if (record >= 57 && record <= 63) {
        return weekdayField(v.TimedStart, record, 56);
    }
    if (record >= 64 && record <= 70) {
        return weekdayField(v.TimedStop, record, 63);
    }
    switch (record) {
        case 1:
            return v.DeadAirSeconds;
        case 2:
            return v.AlarmOnly;
        case 3:
            return v.AlarmRelay;
        case 4:
            return v.NetInDevice;
        case 5:
            return v.Out1Device;
        case 6:
            return v.Out2Device;
        case 7:
            return v.Threshold;
        case 35:
            return v.NetOutDevice;
        case 36:
            return v.PageOnAlarm;
        case 37:
            return v.EmailOnAlarm;
        case 38:
            return v.RemoteControl;
        case 39:
            return v.RecStopDelay;
        case 40:
            return v.RecAutoStart;
        case 41:
            return v.AudOutDevice;
        case 42:
            return v.AudInDevice;
        case 43:
            return v.RecMode;
        case 44:
            return v.UseMixer;
        case 45:
            return v.EmailOnEnd;
        case 46:
            return v.PageOnEnd;
        case 47:
            return v.WeeklyTest;
        case 71:
            return v.RebootOnAlarm;
        case 72:
            return v.AutoRun;
        default:
            throw std::logic_error("Record " + std::to_string(record) +
                                   " is not edited by the Preferences window");
    }
}

}  // namespace

PreferencesRecords readPreferencesRecords(ParameterRecords& records) {
    PreferencesRecords values;
    for (const int record : kPreferencesReadOrder) {
        fieldOf(values, record) = records.read(record);
    }
    return values;
}

void writePreferencesRecords(ParameterRecords& records, const PreferencesRecords& values,
                             Parameters& parameters) {
    for (const int record : kPreferencesWriteOrder) {
        const std::int32_t value = fieldOf(values, record);
        records.write(record, value);
        // applyStoredValue leaves the device records alone; the dead-air delay waits too.
        if (record != kDeadAirSecondsRecord) {
            applyStoredValue(parameters, record, value);
        }
    }
}

std::optional<std::string> firstUnselectedDeviceList(const DeviceListSelection& selection) {
    const std::pair<bool, const char*> checks[] = {
        {selection.lstWaveIn, "WaveIn Device not selected"},
        {selection.lstWaveOutNet, "Net Out Device not selected"},
        {selection.lstWaveOut, "WaveOut Device not selected"},
        {selection.lstWaveOut2, "WaveOut Device 2 not selected"},
        {selection.lstAudOut, "Aud Out Device not selected"},
        {selection.lstAudIn, "Aud In Device not selected"},
    };
    for (const auto& [selected, message] : checks) {
        if (!selected) {
            return std::string(message);
        }
    }
    return std::nullopt;
}

}  // namespace dvx
