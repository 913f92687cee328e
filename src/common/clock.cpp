#include "common/clock.h"

#include <chrono>

namespace dvx {

double continuousSeconds(const LocalDateTime& time) {
    using namespace std::chrono;
    const sys_days date = year_month_day{std::chrono::year{time.year},
                                         std::chrono::month{static_cast<unsigned>(time.month)},
                                         std::chrono::day{static_cast<unsigned>(time.day)}};
    return static_cast<double>(date.time_since_epoch().count()) * 86400.0 + time.secondsOfDay;
}

}  // namespace dvx
