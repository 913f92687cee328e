#include "common/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace dvx {

double continuousSeconds(const LocalDateTime& time) {
    using namespace std::chrono;
    const sys_days date = year_month_day{std::chrono::year{time.year},
                                         std::chrono::month{static_cast<unsigned>(time.month)},
                                         std::chrono::day{static_cast<unsigned>(time.day)}};
    return static_cast<double>(date.time_since_epoch().count()) * 86400.0 + time.secondsOfDay;
}

std::optional<double> unixSeconds(const LocalDateTime& time) {
    const double whole = std::floor(time.secondsOfDay);
    const int seconds = static_cast<int>(whole);
    std::tm local{};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = seconds / 3600;
    local.tm_min = (seconds % 3600) / 60;
    local.tm_sec = seconds % 60;
    local.tm_isdst = -1;
    const std::time_t moment = std::mktime(&local);
    if (moment == static_cast<std::time_t>(-1)) {
        return std::nullopt;
    }
    return static_cast<double>(moment) + (time.secondsOfDay - whole);
}

}  // namespace dvx
