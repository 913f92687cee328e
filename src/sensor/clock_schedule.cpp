#include "sensor/clock_schedule.h"

#include <cmath>

#include "sensor/alarm_log.h"
#include "sensor/alarm_outputs.h"
#include "sensor/clock_display.h"
#include "sensor/sensor_engine.h"
#include "sensor/sensor_view.h"
#include "settings/parameters.h"

namespace dvx {
namespace {

constexpr int kMonday = 2;
constexpr int kTuesday = 3;
constexpr std::int32_t kEmailTestSecond = 8 * 3600;      // 08:00:00
constexpr std::int32_t kPageTestSecond = 8 * 3600 + 60;  // 08:01:00
constexpr std::int16_t kWeeklyTestPageCode = 11;

}  // namespace

ClockSchedule::ClockSchedule(Clock& clock, SensorEngine& engine, const Parameters& parameters,
                             const std::string& Facility, AlarmLog& log, AlarmNotifier& notifier,
                             SensorView& view, std::function<void()> PollInputs)
    : m_clock(clock),
      m_engine(engine),
      m_parameters(parameters),
      m_facility(Facility),
      m_log(log),
      m_notifier(notifier),
      m_view(view),
      m_pollInputs(std::move(PollInputs)) {
    m_tmrClock = m_clock.createTimer("tmrClock", 100, [this] { tick(); });
    m_tmrClock->setEnabled(true);
}

ClockSchedule::~ClockSchedule() = default;

bool ClockSchedule::firesThisSecond(std::int64_t& lastSecond, std::int64_t second) {
    if (lastSecond == second) {
        return false;
    }
    lastSecond = second;
    return true;
}

void ClockSchedule::tick() {
    const LocalDateTime now = m_clock.now();
    m_view.showClock(formatClockDisplay(now));
    m_clockWeekday = static_cast<std::int16_t>(now.weekday);
    const auto day = static_cast<std::size_t>(now.weekday);
    const auto s = static_cast<std::int32_t>(std::floor(now.secondsOfDay));
    const auto second = static_cast<std::int64_t>(std::floor(continuousSeconds(now)));
    const std::int64_t dayNumber = second / 86400;
    const bool timedDay = m_parameters.TimedDayEnabled[day] == 1;

    if (timedDay && s == m_parameters.TimedStart[day] && !m_engine.state().SensorRunning &&
        firesThisSecond(m_lastTimedStart, second)) {
        if (m_engine.StartSensor()) {
            m_log.WriteAlarmLog("Timed Start Sensor");
        } else {
            m_log.WriteAlarmLog("Timed Start Sensor failed: " + m_engine.armingFailure());
        }
    }
    if (timedDay && s == m_parameters.TimedStop[day] && m_engine.state().SensorRunning &&
        firesThisSecond(m_lastTimedStop, second)) {
        m_engine.StopSensor(StopReason::TimedStop);
        m_log.WriteAlarmLog("Timed Stop Sensor");
    }

    const bool weeklyTestDue = m_parameters.WeeklyTest == 1 && m_engine.state().SensorRunning;
    if (weeklyTestDue && s == kEmailTestSecond && now.weekday == kMonday &&
        m_parameters.EmailOnAlarm == 1 && firesThisSecond(m_lastEmailTestDay, dayNumber)) {
        m_notifier.SendEmail(alarmMailSubject(m_facility),
                             notificationText(now.year, now.month, now.day, now.secondsOfDay,
                                              " Dorvex Weekly Test"));
    }
    if (weeklyTestDue && s == kPageTestSecond && now.weekday == kTuesday &&
        m_parameters.PageOnAlarm == 1 && firesThisSecond(m_lastPageTestDay, dayNumber)) {
        m_notifier.SendPPage(kWeeklyTestPageCode);
    }

    if (m_pollInputs) {
        m_pollInputs();
    }
}

}  // namespace dvx
