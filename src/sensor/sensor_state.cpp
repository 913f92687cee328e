#include "sensor/sensor_state.h"

#include "common/time_text.h"

namespace dvx {

void startItemTime(SensorState& state, const Clock& clock, std::int32_t lengthSeconds) {
    const double now = clock.now().secondsOfDay;
    // The end is the whole second nearest to now plus the length, as the clock shows it...
    const double end = static_cast<double>(roundHalfEven(now + lengthSeconds));
    state.FillLength = static_cast<std::int32_t>(static_cast<std::int64_t>(end) % 86400);
    // ...and is waited for on the steady clock, so that midnight (or a stall of the program
    // across it) neither shortens nor stretches the item.
    state.itemEndSteady = clock.steadySeconds() + (end - now);
}

double secondsToItemEnd(const SensorState& state, const Clock& clock) {
    return state.itemEndSteady - clock.steadySeconds();
}

}  // namespace dvx
