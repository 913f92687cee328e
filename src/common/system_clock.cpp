#include "common/system_clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
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

// The zone's offset from UTC changes only on a whole second, so localtime_r (which looks at
// /etc/localtime on every call) runs once a second and the calls within that second reuse its
// offset: an armed station reads the time some 40 times a second. One atomic word holds the
// second and its offset together, so any thread may read it.
LocalDateTime systemLocalTime() {
    using namespace std::chrono;
    static std::atomic<std::uint64_t> lastOffset{0};  // second << 20 | (offset + 2^19)
    constexpr std::int64_t kOffsetBias = std::int64_t{1} << 19;

    const auto current = system_clock::now();
    const sys_seconds second = floor<seconds>(current);
    const auto secondCount = static_cast<std::uint64_t>(second.time_since_epoch().count());
    std::uint64_t packed = lastOffset.load(std::memory_order_relaxed);
    if (packed >> 20 != secondCount) {
        const std::time_t asTimeT = system_clock::to_time_t(second);
        std::tm local{};
        localtime_r(&asTimeT, &local);
        packed = secondCount << 20 | static_cast<std::uint64_t>(local.tm_gmtoff + kOffsetBias);
        lastOffset.store(packed, std::memory_order_relaxed);
    }
    const seconds offset{static_cast<std::int64_t>(packed & 0xFFFFF) - kOffsetBias};

    const auto localTime = current + offset;
    const sys_days day = floor<days>(localTime);
    const year_month_day date{day};
    LocalDateTime result;
    result.year = static_cast<int>(date.year());
    result.month = static_cast<int>(static_cast<unsigned>(date.month()));
    result.day = static_cast<int>(static_cast<unsigned>(date.day()));
    result.weekday = static_cast<int>(weekday{day}.c_encoding()) + 1;
    result.secondsOfDay = duration<double>(localTime - day).count();
    return result;
}

LocalDateTime SystemClock::now() const {
    return systemLocalTime();
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
