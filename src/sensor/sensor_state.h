#pragma once

#include <cstdint>

namespace dvx {

// The monitoring state of the main window, by the names the rest of the program uses.
// Main thread only; what the audio thread learns reaches it through LevelDetector.
struct SensorState {
    bool SensorRunning = false;       // armed
    bool AlarmActive = false;         // from alarm begin to alarm end
    std::int32_t LastSound = 0;       // time of day (whole seconds) of the last loud buffer
    std::int32_t AudioBackTime = 0;   // time of day sound was first heard again; 0 = not yet
    bool FillEnded = true;            // no fill runs, so the next silence may start one
    std::int32_t FillLength = 0;      // end time of day of the fill item playing
    std::int32_t SilenceSeconds = 0;  // the silence measured by the last tick
    std::int16_t PeakLeft = 0;        // peaks of the last captured buffer
    std::int16_t PeakRight = 0;
    bool AlternateActive = false;   // the alternate program is in force
    std::int16_t ActivePlayer = 0;  // 0: no fill item; 1 or 2: the source of the current one
    bool HourBreakTaken = false;
    bool QuarterBreakTaken = false;
    bool StopFillOutputs = false;  // request to stop all fill outputs at the next tick
};

}  // namespace dvx
