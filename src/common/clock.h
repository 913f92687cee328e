#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace dvx {

// A local date and time as the program reads it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;            // 1..12
    int day = 1;              // 1..31
    int weekday = 7;          // 1 = Sunday ... 7 = Saturday
    double secondsOfDay = 0;  // seconds since local midnight with their fraction, 0 <= x < 86400
};

// A repeating timer whose ticks run on the main thread, one handler at a time. Enabling a
// disabled timer starts its interval from now; enabling an enabled one changes nothing (a
// countdown that is asked for again on every tick still runs out); a disabled timer does not
// tick.
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
    // The one member any thread may call (the audio thread stamps loud buffers with it).
    virtual double steadySeconds() const = 0;

    // A timer named `name`, disabled, that calls `onTick` on the main thread at each interval.
    // A handler that throws ends that tick only: the program's clock shows the failure in the
    // error window and goes on; the simulated clock lets it out of advance() to the test.
    virtual std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                               std::function<void()> onTick) = 0;
};

}  // namespace dvx

namespace dvx {

// Seconds since 1970-01-01 00:00 of the same local calendar: a time of day that runs on past
// midnight, so that durations measured with it do not jump when the date changes.
double continuousSeconds(const LocalDateTime& time);

// The moment a local date and time names, as the machine's time zone reads it, in seconds since
// the Unix epoch; nothing when it cannot be told.
std::optional<double> unixSeconds(const LocalDateTime& time);

}  // namespace dvx
