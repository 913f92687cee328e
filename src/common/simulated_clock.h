#pragma once

#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"

namespace dvx {

// A clock for tests: starts at any local date and time and moves only when told. advance()
// runs every timer that falls due on the way, in time order (at equal times the one that was
// scheduled first),
// with the clock reading each timer's due time while its handler runs. Local time has no
// daylight-saving jumps. Single-threaded.
//
// A handler that throws is not caught: the exception leaves advance() at once, so a test sees
// a failure where it happened. The clock then reads that tick's time and the timer is already
// due again one interval later, so a test that expects the failure can advance further.
class SimulatedClock : public Clock {
  public:
    SimulatedClock(int year, int month, int day, double secondsOfDay);
    ~SimulatedClock() override;

    LocalDateTime now() const override;
    double steadySeconds() const override;
    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                       std::function<void()> onTick) override;

    void advance(std::chrono::nanoseconds step);
    void advanceSeconds(double seconds);
    // Runs the timers up to the given local time of the current day (or the next day when the
    // time has passed today).
    void advanceTo(double secondsOfDay);

    std::int64_t elapsedNanoseconds() const { return m_elapsed; }
    // The names of the timers that exist now, in the order they were made.
    std::vector<std::string> timerNames() const;

  private:
    class SimulatedTimer;
    friend class SimulatedTimer;

    std::int64_t m_startDays = 0;   // days since 1970-01-01 of the start date
    std::int64_t m_startNanos = 0;  // nanoseconds since midnight at the start
    std::int64_t m_elapsed = 0;     // nanoseconds since the start
    std::uint64_t m_nextSequence = 0;
    std::list<SimulatedTimer*> m_timers;
};

}  // namespace dvx
