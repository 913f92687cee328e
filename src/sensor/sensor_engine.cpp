#include "sensor/sensor_engine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "common/time_text.h"
#include "sensor/alarm_log.h"
#include "sensor/level_detector.h"
#include "sensor/sensor_audio.h"
#include "sensor/sensor_view.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kArmRetries = 4;
constexpr int kFadeStep = 250;
constexpr int kUnityVolume = 16384;

}  // namespace

std::string stopLine(StopReason reason, bool duringAlarm) {
    std::string line = duringAlarm ? "Sensor Stopped During Alarm " : "Sensor Stopped ";
    switch (reason) {
        case StopReason::Operator:
            return line + "by the operator";
        case StopReason::OperatorClose:
            return line + "by the operator closing the program";
        case StopReason::TimedStop:
            return line + "by the timed stop";
        case StopReason::ProgramEnd:
            break;
    }
    return line + "at program end";
}

SensorEngine::SensorEngine(Clock& clock, Parameters& parameters, SensorAudio& audio,
                           LevelDetector& levels, SensorView& view, ErrorReporter& errors,
                           AlarmLog& log)
    : m_clock(clock),
      m_parameters(parameters),
      m_audio(audio),
      m_levels(levels),
      m_view(view),
      m_errors(errors),
      m_log(log) {
    m_timer1 = m_clock.createTimer("Timer1", 100, [this] { onTimer1(); });
    m_timer2 = m_clock.createTimer("Timer2", 50, [this] { onTimer2(); });
}

SensorEngine::~SensorEngine() = default;

bool SensorEngine::StartSensor() {
    if (m_state.SensorRunning) {
        // Arming again must not restart the silence clock or an alarm's wait for sound.
        return true;
    }
    m_armingFailure.clear();
    if (m_parameters.DeadAirSeconds < 1 || m_parameters.DeadAirSeconds > 99) {
        m_armingFailure =
            "The dead-air delay is not set.  Click Setup then My Preferences and choose the "
            "seconds of silence (1 to 99) before the alarm.";
        m_errors.showError(m_armingFailure);
        return false;
    }
    m_state.AudioBackTime = 0;
    for (int attempt = 0; attempt <= kArmRetries; ++attempt) {
        if (tryToArm()) {
            return true;
        }
    }
    // Given up: the sensor stays disarmed, and the operator has seen every failure.
    return false;
}

bool SensorEngine::tryToArm() {
    // A fill still winding down after a stop goes on under the new watch; otherwise the fill
    // output is stopped, as every arming starts without a fill.
    const bool filling = !m_state.FillEnded;
    try {
        m_levels.setThreshold(m_parameters.Threshold);
        m_audio.startCapture();
        if (!filling) {
            m_audio.stopFillOutput();
            m_audio.startPassThrough();
        }
    } catch (const std::exception& error) {
        m_armingFailure = error.what();
        m_errors.showError(error.what());
        if (!filling) {
            m_audio.stopPassThrough();
            m_audio.stopCapture();
        }
        return false;
    }
    m_state.SensorRunning = true;
    m_state.AlarmActive = false;
    m_levels.markSoundNow();
    m_state.LastSound = roundHalfEven(m_clock.now().secondsOfDay) % 86400;
    m_view.showSilence("");
    m_timer1->setEnabled(true);
    m_view.showArmed(true);
    return true;
}

void SensorEngine::StopSensor(StopReason reason) {
    const bool filling = !m_state.FillEnded;
    if (m_state.SensorRunning) {
        m_log.WriteAlarmLog(stopLine(reason, m_state.AlarmActive || filling));
    }
    m_view.showAlarm(false);
    m_view.showSilence("");  // a counter left standing would look live
    m_state.SensorRunning = false;
    m_state.AlarmActive = false;
    if (m_beforeStop) {
        m_beforeStop();
    }
    m_state.HourBreakTaken = false;
    m_view.showArmed(false);
    if (filling) {
        // Cutting the fill would leave dead air with nobody watching: it winds down instead,
        // and the live feed it then fades in needs the capture.
        return;
    }
    stopStreams();
}

void SensorEngine::stopStreams() {
    m_timer1->setEnabled(false);
    m_audio.stopPassThrough();
    m_audio.stopFillOutput();
    m_audio.stopPlayers();
    m_audio.stopCapture();
}

void SensorEngine::startFadeIn() {
    m_timer2->setEnabled(true);
}

double SensorEngine::secondsSinceSound() const {
    return m_clock.steadySeconds() - m_levels.lastSoundSteady();
}

double SensorEngine::soundBackSteady() const {
    return m_levels.soundBackSteady();
}

void SensorEngine::measureSilence() {
    // A threshold changed in the Preferences window takes effect at once.
    m_levels.setThreshold(m_parameters.Threshold);
    const LocalDateTime now = m_clock.now();
    const double silence = std::max(0.0, secondsSinceSound());
    // The time of day of the last sound, to the nearest second, for whoever shows it.
    const double lastSound = std::nearbyint(continuousSeconds(now) - silence);
    m_state.LastSound = static_cast<std::int32_t>(std::fmod(lastSound, 86400.0));
    // The whole seconds since the last loud buffer itself, not since its rounded second: the
    // alarm then comes when the silence has lasted the delay, never up to a second before it
    // (which would also alarm on a dip just shorter than the delay).
    m_state.SilenceSeconds = static_cast<std::int32_t>(std::floor(silence));
    m_state.PeakLeft = m_levels.peakLeft();
    m_state.PeakRight = m_levels.peakRight();
    m_view.showSilence(FormatSeconds(m_state.SilenceSeconds));
}

void SensorEngine::onTimer1() {
    try {
        if (m_beforeSilenceClock) {
            m_beforeSilenceClock();
        }
        if (m_state.SensorRunning) {
            measureSilence();
        }
        if (m_afterSilenceClock) {
            m_afterSilenceClock();
        }
        if (!m_state.SensorRunning && m_state.FillEnded && !m_state.StopFillOutputs) {
            // Stopped during a fill that has now wound down: the live feed stays on air.
            m_timer1->setEnabled(false);
        }
    } catch (const std::exception& error) {
        m_errors.showError(error.what());  // ends this tick only; the next starts over
    }
}

void SensorEngine::onTimer2() {
    m_audio.setVolume(m_audio.volume() + kFadeStep);
    if (m_audio.volume() >= kUnityVolume) {
        m_timer2->setEnabled(false);
        m_view.showAlarm(false);
        m_log.WriteAlarmLog("Audio");
    }
}

}  // namespace dvx
