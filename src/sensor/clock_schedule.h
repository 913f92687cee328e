#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/clock.h"

namespace dvx {

class AlarmLog;
class AlarmNotifier;
class SensorEngine;
class SensorView;
struct Parameters;

// The clock tick (`tmrClock`, 100 ms, from start-up to the end of the run): the clock display,
// the timed start and stop of the sensor per weekday, the weekly e-mail test (Mondays at
// 08:00:00) and page test (Tuesdays at 08:01:00) while armed, and the poll of the remote
// inputs. A second lasts ten ticks; each scheduled event fires once in its second, and each
// weekly test once in its week. A timed start or stop fires once a day: where the clock is set
// back, the repeated hour does not fire it again; where the clock is set forward over it, it
// fires on the first tick after the jump, in the order of the times set, so that a station
// that stops and starts inside the skipped hour is armed again after it. Main thread only.
class ClockSchedule {
  public:
    ClockSchedule(Clock& clock, SensorEngine& engine, const Parameters& parameters,
                  const std::string& Facility, AlarmLog& log, AlarmNotifier& notifier,
                  SensorView& view, std::function<void()> PollInputs);
    ~ClockSchedule();

    Timer& tmrClock() { return *m_tmrClock; }
    std::int16_t ClockWeekday() const { return m_clockWeekday; }

    // One tick (the timer calls it; tests may too).
    void tick();

  private:
    bool firesOnce(std::int64_t& lastPeriod, std::int64_t period);
    bool reached(std::int32_t dueSecond, std::int32_t second, std::int64_t dayNumber) const;
    void timedStart(std::int64_t dayNumber);
    void timedStop(std::int64_t dayNumber);

    Clock& m_clock;
    SensorEngine& m_engine;
    const Parameters& m_parameters;
    const std::string& m_facility;
    AlarmLog& m_log;
    AlarmNotifier& m_notifier;
    SensorView& m_view;
    std::function<void()> m_pollInputs;
    std::unique_ptr<Timer> m_tmrClock;
    std::int16_t m_clockWeekday = 0;
    // The day (on the continuous local clock) each event last fired on.
    std::int64_t m_lastTimedStartDay = -1;
    std::int64_t m_lastTimedStopDay = -1;
    std::int64_t m_lastEmailTestDay = -1;
    std::int64_t m_lastPageTestDay = -1;
    // The day and second of the clock at the previous tick.
    std::int64_t m_previousDay = -1;
    std::int32_t m_previousSecond = -1;
};

}  // namespace dvx
