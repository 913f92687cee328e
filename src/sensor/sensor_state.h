#pragma once

#include <cstdint>

#include "common/clock.h"

namespace dvx {

// The monitoring state of the main window, by the names the rest of the program uses.
// Main thread only; what the audio thread learns reaches it through LevelDetector.
struct SensorState {
    bool SensorRunning = false;       // armed
    bool AlarmActive = false;         // from alarm begin to alarm end
    std::int32_t LastSound = 0;       // time of day (whole seconds) of the last loud buffer
    std::int32_t AudioBackTime = 0;   // time of day sound was first heard again; 0 = not yet
    bool FillEnded = true;            // no fill runs, so the next silence may start one
    std::int32_t FillLength = 0;      // end time of day of the fill item playing (0..86399)
    std::int32_t SilenceSeconds = 0;  // the silence measured by the last tick
    std::int16_t PeakLeft = 0;        // peaks of the last captured buffer
    std::int16_t PeakRight = 0;
    bool AlternateActive = false;   // the alternate program is in force
    std::int16_t ActivePlayer = 0;  // 0: no fill item; 1 or 2: the source of the current one
    bool HourBreakTaken = false;
    bool QuarterBreakTaken = false;
    bool StopFillOutputs = false;  // request to stop all fill outputs at the next tick
    // The end of the fill item playing on the clock's steady seconds: what the fill waits for.
    double itemEndSteady = 0;
};

// Starts timing a fill item of `lengthSeconds` from now: `FillLength` becomes the whole second
// nearest to now plus the length, as a time of day, and `itemEndSteady` the same moment on the
// steady clock.
void startItemTime(SensorState& state, const Clock& clock, std::int32_t lengthSeconds);

// Seconds from now to the end of the fill item playing; negative once it has passed.
double secondsToItemEnd(const SensorState& state, const Clock& clock);

}  // namespace dvx
