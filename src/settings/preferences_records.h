#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/parameter_records.h"
#include "settings/parameters.h"

namespace dvx {

// The stored values of the records the Preferences window shows and saves, as the file holds
// them (32 bits each, flags 0 or 1). Weekday arrays are indexed by day 1..7 (index 0 unused).
struct PreferencesRecords {
    std::int32_t DeadAirSeconds = 0;                // 1
    std::int32_t AlarmOnly = 0;                     // 2
    std::int32_t AlarmRelay = 0;                    // 3
    std::int32_t NetInDevice = 0;                   // 4
    std::int32_t Out1Device = 0;                    // 5
    std::int32_t Out2Device = 0;                    // 6
    std::int32_t Threshold = 0;                     // 7
    std::int32_t NetOutDevice = 0;                  // 35
    std::int32_t PageOnAlarm = 0;                   // 36
    std::int32_t EmailOnAlarm = 0;                  // 37
    std::int32_t RemoteControl = 0;                 // 38
    std::int32_t RecStopDelay = 0;                  // 39
    std::int32_t RecAutoStart = 0;                  // 40
    std::int32_t AudOutDevice = 0;                  // 41
    std::int32_t AudInDevice = 0;                   // 42
    std::int32_t RecMode = 0;                       // 43
    std::int32_t UseMixer = 0;                      // 44
    std::int32_t EmailOnEnd = 0;                    // 45
    std::int32_t PageOnEnd = 0;                     // 46
    std::int32_t WeeklyTest = 0;                    // 47
    std::array<std::int32_t, 8> TimedDayEnabled{};  // 50..56
    std::array<std::int32_t, 8> TimedStart{};       // 57..63
    std::array<std::int32_t, 8> TimedStop{};        // 64..70
    std::int32_t RebootOnAlarm = 0;                 // 71
    std::int32_t AutoRun = 0;                       // 72
};

// Opening the window: reads kPreferencesReadOrder. Throws IoError.
PreferencesRecords readPreferencesRecords(ParameterRecords& records);

// Closing the window: writes kPreferencesWriteOrder, and with each record the matching field of
// `parameters`, so the sensor uses the new values at once. DeadAirSeconds and the four devices
// reach the file only; they take effect at the next start-up (DeadAirSeconds also at the
// program-lists reload). Run firstUnselectedDeviceList first. Throws IoError, leaving the
// records before the failing one written.
void writePreferencesRecords(ParameterRecords& records, const PreferencesRecords& values,
                             Parameters& parameters);

// Which of the six device lists of the window have an entry selected.
struct DeviceListSelection {
    bool lstWaveIn = false;
    bool lstWaveOutNet = false;
    bool lstWaveOut = false;
    bool lstWaveOut2 = false;
    bool lstAudOut = false;
    bool lstAudIn = false;
};

// The message of the first list without a selection ("WaveIn Device not selected", ...), in
// the order the window checks them, or nothing when all six have one. A message means nothing
// is saved, User.dat included.
std::optional<std::string> firstUnselectedDeviceList(const DeviceListSelection& selection);

}  // namespace dvx
