#pragma once

#include "common/clock.h"

namespace dvx {

// The program's clock: the system's local time and Qt timers on the main thread. Timers carry
// their name as Qt object name.
class QtClock : public Clock {
  public:
    LocalDateTime now() const override;
    double steadySeconds() const override;
    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                       std::function<void()> onTick) override;
};

}  // namespace dvx
