#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dvx {

// The settings of DXParams.dat as the running sensor holds them, one member per field, each at
// the width the program uses. Weekday arrays are indexed by day 1 = Sunday .. 7 = Saturday
// (index 0 unused); event slots by slot 1..6 (index 0 unused, always 0). Owned by the main
// window and passed by reference. Main thread only.
struct Parameters {
    std::int16_t DeadAirSeconds = 0;                // record 1
    bool AlarmOnly = false;                         // record 2
    std::int32_t AlarmRelay = 0;                    // record 3
    std::int16_t Threshold = 0;                     // record 7
    std::array<std::int32_t, 8> AltDayEnabled{};    // records 8..14
    std::array<std::int32_t, 8> AltStart{};         // records 15..21
    std::array<std::int32_t, 8> AltStop{};          // records 22..28
    std::array<std::int32_t, 7> ProgramEvent{};     // records 29..34
    std::int32_t PageOnAlarm = 0;                   // record 36
    std::int32_t EmailOnAlarm = 0;                  // record 37
    std::int32_t RemoteControl = 0;                 // record 38
    std::int16_t RecStopDelay = 0;                  // record 39
    std::int16_t RecAutoStart = 0;                  // record 40
    std::int16_t AudOutDevice = 0;                  // record 41
    std::int16_t AudInDevice = 0;                   // record 42
    std::int16_t RecMode = 0;                       // record 43
    bool UseMixer = false;                          // record 44
    std::int32_t EmailOnEnd = 0;                    // record 45
    std::int32_t PageOnEnd = 0;                     // record 46
    std::int32_t WeeklyTest = 0;                    // record 47
    std::array<std::int16_t, 8> TimedDayEnabled{};  // records 50..56
    std::array<std::int32_t, 8> TimedStart{};       // records 57..63
    std::array<std::int32_t, 8> TimedStop{};        // records 64..70
    std::int32_t RebootOnAlarm = 0;                 // record 71
    std::int32_t AutoRun = 0;                       // record 72
};

// The four device choices of the parameters file. They are not kept with the other settings:
// start-up hands them to the audio components once.
struct DeviceChoice {
    std::int32_t NetInDevice = 0;   // record 4: monitored input (WaveIn)
    std::int32_t NetOutDevice = 0;  // record 35: live pass-through output (WaveOut1)
    std::int32_t Out1Device = 0;    // record 5: fill player 1 and the mixer output
    std::int32_t Out2Device = 0;    // record 6: fill player 2
};

// Records of the device choices.
inline constexpr int kNetInDeviceRecord = 4;
inline constexpr int kNetOutDeviceRecord = 35;
inline constexpr int kOut1DeviceRecord = 5;
inline constexpr int kOut2DeviceRecord = 6;
inline constexpr int kDeadAirSecondsRecord = 1;

// A stored 32-bit value for a 16-bit field, clamped to -32768..32767 instead of wrapping, so a
// threshold stored as 70000 acts as 32767 rather than as 4464.
std::int16_t saturateToInt16(std::int32_t value);

// Sets the memory field of `record` from its stored value: AlarmOnly is true only for 1; a
// UseMixer of 0 or 1 sets it and any other value leaves it as it was; 16-bit fields saturate.
// Device records and records 48, 49 change nothing.
void applyStoredValue(Parameters& parameters, int record, std::int32_t value);

// Sets the device choice of a device record; returns false for any other record.
bool applyDeviceRecord(DeviceChoice& devices, int record, std::int32_t value);

// The main window's caption for the mode, after start-up and after the program-lists window's
// reload alike: "Dorvexia Alarm Only" or "Dorvexia Alarm/Fill".
std::string mainCaption(bool alarmOnly);

}  // namespace dvx
