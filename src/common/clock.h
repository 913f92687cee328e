#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace dvx {

// A local date and time as the program reads it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;             // 1..12
    int day = 1;               // 1..31
    int weekday = 7;           // 1 = Sunday ... 7 = Saturday
    double secondsOfDay = 0;   // seconds since local midnight with their fraction, 0 <= x < 86400
};

// A repeating timer whose ticks run on the main thread, one handler at a time. Enabling a
// timer (again) starts its interval from now; a disabled timer does not tick.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
};

// The one source of time and timers. Everything reads the time and runs its timers through
// it: the program uses the system clock, tests a simulated one.
class Clock {
public:
    virtual ~Clock() = default;

    // Local wall-clock time.
    virtual LocalDateTime now() const = 0;

    // Seconds on a clock that never jumps (no midnight, no clock setting), for durations.
    virtual double steadySeconds() const = 0;

    // A timer named `name`, disabled, that calls `onTick` on the main thread at each interval.
    virtual std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                               std::function<void()> onTick) = 0;
};

}  // namespace dvx
