#include "sensor/alarm_sequence.h"

#include <cmath>
#include <cstdlib>

#include "common/time_text.h"
#include "sensor/alarm_log.h"
#include "sensor/alarm_outputs.h"
#include "sensor/sensor_engine.h"
#include "sensor/sensor_view.h"
#include "settings/connection_settings.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

const std::string kAlarmLine = "Alarm" + std::string(16, ' ');
const std::string kAlarmEndLine = "Alarm End" + std::string(12, ' ');
constexpr std::int16_t kAlarmPageCode = 99;
constexpr double kAlarmEndDelaySeconds = 3.0;
constexpr double kSoundBackSeconds = 5.0;

}  // namespace

bool alternateProgramInForce(const Parameters& parameters, int weekday, double secondsOfDay) {
    if (weekday < 1 || weekday > 7) {
        return false;
    }
    const auto day = static_cast<std::size_t>(weekday);
    return parameters.AltDayEnabled[day] == 1 && parameters.AltStart[day] < secondsOfDay &&
           secondsOfDay < parameters.AltStop[day];
}

AlarmSequence::AlarmSequence(Clock& clock, SensorEngine& engine, const Parameters& parameters,
                             const ConnectionSettings& connection, const std::string& Facility,
                             AlarmLog& log, SensorView& view, Outputs outputs)
    : m_clock(clock),
      m_engine(engine),
      m_parameters(parameters),
      m_connection(connection),
      m_facility(Facility),
      m_log(log),
      m_view(view),
      m_outputs(std::move(outputs)) {}

void AlarmSequence::checkProgramInForce() {
    const LocalDateTime now = m_clock.now();
    const bool alternate = alternateProgramInForce(m_parameters, now.weekday, now.secondsOfDay);
    m_engine.state().AlternateActive = alternate;
    m_view.showProgram(alternate ? "Alternate " : "Regular");
}

void AlarmSequence::beginAlarm(const LocalDateTime& now) {
    SensorState& state = m_engine.state();
    state.AudioBackTime = 0;
    m_audioBack.reset();
    state.AlarmActive = true;
    ++m_alarmsBegun;
    m_view.showAlarm(true);
    if (m_outputs.switchAlarmRelayOn) {
        m_outputs.switchAlarmRelayOn();
    }
    m_log.WriteAlarmLog(kAlarmLine);
    if (mailGoesOut(m_parameters.EmailOnAlarm, m_parameters.PageOnAlarm,
                    m_connection.DialConnect)) {
        m_outputs.notifier.SendEmail(
            alarmMailSubject(m_facility),
            notificationText(now.year, now.month, now.day, now.secondsOfDay, " Silence"));
    }
    if (m_parameters.PageOnAlarm == 1) {
        m_outputs.notifier.SendPPage(kAlarmPageCode);
    }
}

bool AlarmSequence::startFillIfDue() {
    SensorState& state = m_engine.state();
    if (!(m_engine.secondsSinceSound() >= m_parameters.DeadAirSeconds && state.FillEnded)) {
        return true;
    }
    if (m_parameters.RebootOnAlarm == 1 && m_outputs.startRestartCountdown) {
        m_outputs.startRestartCountdown();
    }
    if (m_parameters.AlarmOnly) {
        return false;  // the tick ends here; FillEnded stays true
    }
    m_outputs.fill.StartFill();
    return true;
}

void AlarmSequence::clearBreakFlags(double secondsOfDay) {
    const int whole = static_cast<int>(std::floor(secondsOfDay));
    const int minuteSecond = whole % 3600;  // "MM:SS" of the clock
    SensorState& state = m_engine.state();
    if (minuteSecond == 3 * 60 + 10 && state.HourBreakTaken) {
        state.HourBreakTaken = false;
    }
    if ((minuteSecond == 18 * 60 + 10 || minuteSecond == 33 * 60 + 10 ||
         minuteSecond == 48 * 60 + 10) &&
        state.QuarterBreakTaken) {
        state.QuarterBreakTaken = false;
    }
}

void AlarmSequence::nextFillItemIfDue() {
    const SensorState& state = m_engine.state();
    if (m_engine.secondsSinceSound() < kSoundBackSeconds && !state.FillEnded) {
        return;  // sound is back: the item playing runs out and no new one starts
    }
    if (secondsToItemEnd(state, m_clock) >= 0 || state.ActivePlayer == 0) {
        return;
    }
    m_outputs.fill.NextFillItem();
}

void AlarmSequence::endAlarmIfDue(double nowContinuous) {
    SensorState& state = m_engine.state();
    if (!state.AlarmActive || !m_audioBack ||
        std::fabs(nowContinuous - *m_audioBack) <= kAlarmEndDelaySeconds) {
        return;
    }
    state.AlarmActive = false;
    m_view.showAlarm(false);
    m_log.WriteAlarmLog(kAlarmEndLine);
    // Whether or not a fill follows, the relay signals the alarm, not the fill.
    if (m_outputs.switchAlarmRelayOff) {
        m_outputs.switchAlarmRelayOff();
    }
}

void AlarmSequence::afterSilenceClock() {
    const LocalDateTime now = m_clock.now();
    const double nowContinuous = continuousSeconds(now);
    SensorState& state = m_engine.state();

    if (state.SensorRunning) {
        if (state.SilenceSeconds >= m_parameters.DeadAirSeconds && !state.AlarmActive) {
            beginAlarm(now);
            return;
        }
        if (state.SilenceSeconds < 1 && state.AlarmActive && !m_audioBack) {
            m_audioBack = std::nearbyint(nowContinuous);
            state.AudioBackTime = roundHalfEven(now.secondsOfDay) % 86400;
        }
        endAlarmIfDue(nowContinuous);
        if (!startFillIfDue()) {
            return;
        }
    }
    if (state.ActivePlayer != 0) {
        m_outputs.fill.FillTick();
    }
    clearBreakFlags(now.secondsOfDay);
    if (state.StopFillOutputs) {
        m_outputs.fill.ServeStopRequest();
    }
    if (state.SensorRunning) {
        nextFillItemIfDue();
    }
}

}  // namespace dvx
