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

bool ClockSchedule::firesOnce(std::int64_t& lastPeriod, std::int64_t period) {
    if (lastPeriod == period) {
        return false;
    }
    lastPeriod = period;
    return true;
}

bool ClockSchedule::reached(std::int32_t dueSecond, std::int32_t second,
                            std::int64_t dayNumber) const {
    return second == dueSecond ||
           (dayNumber == m_previousDay && m_previousSecond < dueSecond && dueSecond < second);
}

void ClockSchedule::timedStart(std::int64_t dayNumber) {
    if (m_engine.state().SensorRunning || !firesOnce(m_lastTimedStartDay, dayNumber)) {
        return;
    }
    if (m_engine.StartSensor()) {
        m_log.WriteAlarmLog("Timed Start Sensor");
    } else {
        m_log.WriteAlarmLog("Timed Start Sensor failed: " + m_engine.armingFailure());
    }
}

void ClockSchedule::timedStop(std::int64_t dayNumber) {
    if (!m_engine.state().SensorRunning || !firesOnce(m_lastTimedStopDay, dayNumber)) {
        return;
    }
    m_engine.StopSensor(StopReason::TimedStop);
    m_log.WriteAlarmLog("Timed Stop Sensor");
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

    if (timedDay) {
        const bool startDue = reached(m_parameters.TimedStart[day], s, dayNumber);
        const bool stopDue = reached(m_parameters.TimedStop[day], s, dayNumber);
        if (startDue && stopDue && m_parameters.TimedStop[day] < m_parameters.TimedStart[day]) {
            timedStop(dayNumber);  // both skipped over: in the order they were set
            timedStart(dayNumber);
        } else {
            if (startDue) {
                timedStart(dayNumber);
            }
            if (stopDue) {
                timedStop(dayNumber);
            }
        }
    }

    const bool weeklyTestDue = m_parameters.WeeklyTest == 1 && m_engine.state().SensorRunning;
    if (weeklyTestDue && s == kEmailTestSecond && now.weekday == kMonday &&
        m_parameters.EmailOnAlarm == 1 && firesOnce(m_lastEmailTestDay, dayNumber)) {
        m_notifier.SendEmail(alarmMailSubject(m_facility),
                             notificationText(now.year, now.month, now.day, now.secondsOfDay,
                                              " Dorvex Weekly Test"));
    }
    if (weeklyTestDue && s == kPageTestSecond && now.weekday == kTuesday &&
        m_parameters.PageOnAlarm == 1 && firesOnce(m_lastPageTestDay, dayNumber)) {
        m_notifier.SendPPage(kWeeklyTestPageCode);
    }

    m_previousDay = dayNumber;
    m_previousSecond = s;
    if (m_pollInputs) {
        m_pollInputs();
    }
}

}  // namespace dvx
