#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/clock.h"

namespace dvx {

class AlarmLog;
class AlarmNotifier;
class ErrorReporter;
class FillSteps;
class SensorEngine;
class SensorView;
struct ConnectionSettings;
struct Parameters;

// What the monitoring tick does around the silence clock: which program is in force, alarm
// begin with its log line, e-mail and page, sound back and alarm end a little over 3 s later,
// fill start (with the restart countdown when asked for), time left, break flags, the stop
// request and the next fill item. The alarm relay is on from alarm begin to alarm end. While
// the sensor is disarmed and a fill winds down, only the fill's own steps run (time left,
// break flags, the stop request). Main thread only, one tick at a time.
class AlarmSequence {
  public:
    struct Outputs {
        AlarmNotifier& notifier;
        FillSteps& fill;
        std::function<void()> startRestartCountdown;  // shows the warning and counts down
        std::function<void()> switchAlarmRelayOn;     // signals the alarm on the relay
        std::function<void()> switchAlarmRelayOff;    // ... until the alarm ends
    };

    AlarmSequence(Clock& clock, SensorEngine& engine, const Parameters& parameters,
                  const ConnectionSettings& connection, const std::string& Facility, AlarmLog& log,
                  SensorView& view, Outputs outputs);

    // Step 1 of the tick, before the silence clock.
    void checkProgramInForce();
    // Steps 3 to 10, after the silence clock.
    void afterSilenceClock();

    // Alarms begun since the program started.
    std::uint64_t alarmsBegun() const { return m_alarmsBegun; }

  private:
    void beginAlarm(const LocalDateTime& now);
    bool startFillIfDue();
    void clearBreakFlags(double secondsOfDay);
    void endAlarmIfDue(double nowContinuous);
    void nextFillItemIfDue();

    Clock& m_clock;
    SensorEngine& m_engine;
    const Parameters& m_parameters;
    const ConnectionSettings& m_connection;
    const std::string& m_facility;
    AlarmLog& m_log;
    SensorView& m_view;
    Outputs m_outputs;
    // When sound was first heard again during the alarm, on the clock that runs on past
    // midnight (`AudioBackTime` keeps the time of day).
    std::optional<double> m_audioBack;
    std::uint64_t m_alarmsBegun = 0;
};

// Whether the alternate program is in force at `secondsOfDay` on `weekday`: the day is
// enabled and the time lies strictly between its start and stop.
bool alternateProgramInForce(const Parameters& parameters, int weekday, double secondsOfDay);

}  // namespace dvx
