#include "sensor/clock_display.h"

#include <cmath>
#include <cstdio>

#include "common/time_text.h"

namespace dvx {

const char* weekdayName(int weekday) {
    static constexpr const char* kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    return weekday >= 1 && weekday <= 7 ? kNames[weekday - 1] : "";
}

std::string formatClockDisplay(const LocalDateTime& time) {
    char date[32];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", time.month, time.day, time.year);
    return std::string(weekdayName(time.weekday)) + "  " + date + "  " +
           formatTimeOfDay(static_cast<std::int32_t>(std::floor(time.secondsOfDay)));
}

}  // namespace dvx
