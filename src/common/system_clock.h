#pragma once

#include "common/clock.h"

namespace dvx {

// The system's local date and time. Any thread.
LocalDateTime systemLocalTime();

// The system's local time without an event loop, for the command line's verbs: their work reads
// the date and the time, and runs no timer. A timer it makes never ticks. Any thread.
class SystemClock : public Clock {
  public:
    LocalDateTime now() const override;
    double steadySeconds() const override;
    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                       std::function<void()> onTick) override;
};

}  // namespace dvx
