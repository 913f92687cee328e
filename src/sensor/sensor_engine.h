#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/clock.h"
#include "sensor/sensor_state.h"
#include "settings/parameters.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class LevelDetector;
class SensorAudio;
class SensorView;

// What ended a watch, for the alarm log's stop line.
enum class StopReason {
    Operator,       // the Stop button
    OperatorClose,  // Close or Files, Exit
    TimedStop,      // the weekly schedule
    ProgramEnd,     // a termination signal, or the run ending otherwise
};

// The alarm log's line for a stop of the armed sensor: "Sensor Stopped by the operator", or
// "Sensor Stopped During Alarm by the timed stop" when an alarm or a fill was under way.
std::string stopLine(StopReason reason, bool duringAlarm);

// Arming and disarming, the silence clock of the monitoring tick (`Timer1`, 100 ms while
// armed) and the fade-in of the pass-through after a fill (`Timer2`, 50 ms). Silence is
// measured on a clock that runs on past midnight, so the change of date never looks like a
// day of silence. A capture that delivers nothing (its device lost or stalled: see
// AudioHealthWatch) counts as silent. Main thread only.
class SensorEngine {
  public:
    SensorEngine(Clock& clock, Parameters& parameters, SensorAudio& audio, LevelDetector& levels,
                 SensorView& view, ErrorReporter& errors, AlarmLog& log);
    ~SensorEngine();

    // Arms: starts capture and pass-through from a clean silence clock. Failures are reported
    // and retried four times; then the sensor stays disarmed. Arming an armed sensor changes
    // nothing. A dead-air delay outside 1..99 s is refused with a message. Returns whether the
    // sensor is armed; when not, armingFailure() says why.
    bool StartSensor();
    // Disarms; no alarm end is logged, but a stop of the armed sensor is, with its reason. The
    // silence counter goes blank. Without a fill every stream stops. During a fill the fill
    // winds down as when sound returns: the item playing runs out, no new one starts, then the
    // live feed fades back in and stays on air. Until then the capture runs and the monitoring
    // tick serves the fill only.
    void StopSensor(StopReason reason = StopReason::Operator);
    // Why the last StartSensor left the sensor disarmed.
    const std::string& armingFailure() const { return m_armingFailure; }
    // Starts the fade-in of the pass-through (end of a fill).
    void startFadeIn();

    // The steps of the monitoring tick around the silence clock (the alarm sequence).
    void setTickSteps(std::function<void()> before, std::function<void()> after) {
        m_beforeSilenceClock = std::move(before);
        m_afterSilenceClock = std::move(after);
    }
    // Runs before StopSensor stops the streams (switching the alarm relay off).
    void setBeforeStop(std::function<void()> step) { m_beforeStop = std::move(step); }

    SensorState& state() { return m_state; }
    const SensorState& state() const { return m_state; }
    Timer& Timer1() { return *m_timer1; }
    Timer& Timer2() { return *m_timer2; }

    // Seconds since the last loud buffer, unrounded, on the continuous clock.
    double secondsSinceSound() const;
    // When sound last came back after a second or more of silence, on the steady clock.
    double soundBackSteady() const;

  private:
    void onTimer1();
    void onTimer2();
    void measureSilence();
    bool tryToArm();
    void stopStreams();

    Clock& m_clock;
    Parameters& m_parameters;
    SensorAudio& m_audio;
    LevelDetector& m_levels;
    SensorView& m_view;
    ErrorReporter& m_errors;
    AlarmLog& m_log;
    SensorState m_state;
    std::function<void()> m_beforeSilenceClock;
    std::function<void()> m_afterSilenceClock;
    std::function<void()> m_beforeStop;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Timer> m_timer2;
    std::string m_armingFailure;
};

}  // namespace dvx
