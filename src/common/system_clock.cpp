#include "common/system_clock.h"

#include <chrono>
#include <ctime>

namespace dvx {
namespace {

class IdleTimer : public Timer {
  public:
    explicit IdleTimer(int intervalMs) : m_interval(intervalMs) {}
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int milliseconds) override { m_interval = milliseconds; }
    int interval() const override { return m_interval; }

  private:
    int m_interval;
    bool m_enabled = false;
};

}  // namespace

LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    const auto current = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(current);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double fraction = duration<double>(current - system_clock::from_time_t(seconds)).count();
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.weekday = local.tm_wday + 1;
    result.secondsOfDay = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction;
    return result;
}

double SystemClock::steadySeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::unique_ptr<Timer> SystemClock::createTimer(std::string, int intervalMs,
                                                std::function<void()>) {
    return std::make_unique<IdleTimer>(intervalMs);
}

}  // namespace dvx
