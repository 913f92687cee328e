#pragma once

#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/zone_offsets.h"

namespace dvx {

// A clock for tests: starts at any local date and time and moves only when told. advance()
// runs every timer that falls due on the way, in time order (at equal times the one that was
// scheduled first),
// with the clock reading each timer's due time while its handler runs. Local time has no
// daylight-saving jumps, unless the clock is given a time zone: then it follows that zone's
// changes of the clock for four years from its start, as the system clock does. Single-threaded.
//
// A handler that throws is not caught: the exception leaves advance() at once, so a test sees
// a failure where it happened. The clock then reads that tick's time and the timer is already
// due again one interval later, so a test that expects the failure can advance further.
class SimulatedClock : public Clock {
  public:
    SimulatedClock(int year, int month, int day, double secondsOfDay);
    // Starts at the local date and time in `timeZone` ("Europe/Berlin"; see ZoneOffsets for
    // where the rules come from): at its first occurrence when the clock is set back over it,
    // at the jump when the clock skips it.
    SimulatedClock(const std::string& timeZone, int year, int month, int day, double secondsOfDay);
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
    // Moves the clock on without running the timers that fall due on the way: each enabled
    // timer keeps its phase and next ticks at its first due time after the leap. Only for
    // stretches in which the caller knows the ticks would change nothing.
    void leap(std::chrono::nanoseconds step);

    // The local date and time the clock reads (or read) at `elapsedNanoseconds` from its start.
    LocalDateTime at(std::int64_t elapsedNanoseconds) const;
    // The elapsed nanoseconds at which the clock reads a local date and time (where the clock
    // is set back, the first time; where it skips the time, the moment it jumps).
    std::int64_t elapsedAt(int year, int month, int day, double secondsOfDay) const;

    std::int64_t elapsedNanoseconds() const { return m_elapsed; }
    // The names of the timers that exist now, in the order they were made.
    std::vector<std::string> timerNames() const;

  private:
    class SimulatedTimer;
    friend class SimulatedTimer;

    ZoneOffsets m_zone;
    std::int64_t m_startUtc = 0;  // nanoseconds since 1970-01-01 00:00 UTC at the start
    std::int64_t m_elapsed = 0;   // nanoseconds since the start
    std::uint64_t m_nextSequence = 0;
    std::list<SimulatedTimer*> m_timers;
};

}  // namespace dvx
