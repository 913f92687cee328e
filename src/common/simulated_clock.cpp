#include "common/simulated_clock.h"

#include <algorithm>
#include <cmath>

namespace dvx {
namespace {

constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
constexpr std::int64_t kNanosPerDay = 86'400 * kNanosPerSecond;
constexpr std::int64_t kSecondsPerDay = 86'400;
// How far the rules of a time zone are read around the start.
constexpr std::int64_t kZoneRulesBeforeSeconds = 2 * kSecondsPerDay;
constexpr std::int64_t kZoneRulesAfterSeconds = 4 * 366 * kSecondsPerDay;

// Nanoseconds since 1970-01-01 00:00 on the local calendar.
std::int64_t localNanos(int year, int month, int day, double secondsOfDay) {
    using namespace std::chrono;
    const sys_days date =
        year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    return date.time_since_epoch().count() * kNanosPerDay +
           static_cast<std::int64_t>(std::llround(secondsOfDay * kNanosPerSecond));
}

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

}  // namespace

class SimulatedClock::SimulatedTimer : public Timer {
  public:
    SimulatedTimer(SimulatedClock& clock, std::string name, int intervalMs,
                   std::function<void()> onTick)
        : m_clock(&clock),
          m_name(std::move(name)),
          m_intervalMs(intervalMs),
          m_onTick(std::move(onTick)) {
        m_clock->m_timers.push_back(this);
    }
    ~SimulatedTimer() override {
        if (m_clock != nullptr) {
            m_clock->m_timers.remove(this);
        }
    }

    void setEnabled(bool enabled) override {
        if (enabled && !m_enabled) {
            restart();
        }
        m_enabled = enabled;
    }
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int milliseconds) override {
        m_intervalMs = milliseconds;
        if (m_enabled) {
            restart();
        }
    }
    int interval() const override { return m_intervalMs; }

    void restart() {
        m_due = m_clock->m_elapsed + std::max(1, m_intervalMs) * std::int64_t{1'000'000};
        m_sequence = m_clock->m_nextSequence++;
    }
    void detach() { m_clock = nullptr; }

    SimulatedClock* m_clock;
    std::string m_name;
    int m_intervalMs;
    std::function<void()> m_onTick;
    bool m_enabled = false;
    std::int64_t m_due = 0;
    std::uint64_t m_sequence = 0;
};

SimulatedClock::SimulatedClock(int year, int month, int day, double secondsOfDay)
    : m_startUtc(localNanos(year, month, day, secondsOfDay)) {}

SimulatedClock::SimulatedClock(const std::string& timeZone, int year, int month, int day,
                               double secondsOfDay) {
    const std::int64_t localSecond =
        floorDivide(localNanos(year, month, day, secondsOfDay), kNanosPerSecond);
    m_zone = ZoneOffsets(timeZone, localSecond - kZoneRulesBeforeSeconds,
                         localSecond + kZoneRulesAfterSeconds);
    m_startUtc = elapsedAt(year, month, day, secondsOfDay);  // from 0: the UTC of the start
}

std::int64_t SimulatedClock::elapsedAt(int year, int month, int day, double secondsOfDay) const {
    const std::int64_t local = localNanos(year, month, day, secondsOfDay);
    const std::int64_t localSecond = floorDivide(local, kNanosPerSecond);
    return m_zone.utcOf(localSecond) * kNanosPerSecond + (local - localSecond * kNanosPerSecond) -
           m_startUtc;
}

SimulatedClock::~SimulatedClock() {
    for (SimulatedTimer* timer : m_timers) {
        timer->detach();
    }
}

LocalDateTime SimulatedClock::now() const {
    return at(m_elapsed);
}

LocalDateTime SimulatedClock::at(std::int64_t elapsedNanoseconds) const {
    using namespace std::chrono;
    const std::int64_t utc = m_startUtc + elapsedNanoseconds;
    const std::int64_t total =
        utc + std::int64_t{m_zone.offsetAt(floorDivide(utc, kNanosPerSecond))} * kNanosPerSecond;
    const std::int64_t days = floorDivide(total, kNanosPerDay);
    const std::int64_t nanosOfDay = total - days * kNanosPerDay;
    const sys_days date{std::chrono::days{days}};
    const year_month_day ymd{date};
    LocalDateTime result;
    result.year = static_cast<int>(ymd.year());
    result.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    result.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    result.weekday = static_cast<int>(weekday{date}.c_encoding()) + 1;
    result.secondsOfDay = static_cast<double>(nanosOfDay) / kNanosPerSecond;
    return result;
}

double SimulatedClock::steadySeconds() const {
    return static_cast<double>(m_elapsed) / kNanosPerSecond;
}

std::unique_ptr<Timer> SimulatedClock::createTimer(std::string name, int intervalMs,
                                                   std::function<void()> onTick) {
    return std::make_unique<SimulatedTimer>(*this, std::move(name), intervalMs, std::move(onTick));
}

std::vector<std::string> SimulatedClock::timerNames() const {
    std::vector<std::string> names;
    for (const SimulatedTimer* timer : m_timers) {
        names.push_back(timer->m_name);
    }
    return names;
}

void SimulatedClock::advance(std::chrono::nanoseconds step) {
    const std::int64_t target = m_elapsed + std::max<std::int64_t>(0, step.count());
    for (;;) {
        SimulatedTimer* next = nullptr;
        for (SimulatedTimer* timer : m_timers) {
            if (timer->m_enabled && timer->m_due <= target &&
                (next == nullptr || timer->m_due < next->m_due ||
                 (timer->m_due == next->m_due && timer->m_sequence < next->m_sequence))) {
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        m_elapsed = std::max(m_elapsed, next->m_due);
        // The next tick is due one interval after this one, unless the handler re-arms it.
        next->m_due += std::max(1, next->m_intervalMs) * std::int64_t{1'000'000};
        next->m_sequence = m_nextSequence++;
        next->m_onTick();  // may destroy or re-arm timers; `next` is not used afterwards
    }
    m_elapsed = target;
}

void SimulatedClock::leap(std::chrono::nanoseconds step) {
    m_elapsed += std::max<std::int64_t>(0, step.count());
    for (SimulatedTimer* timer : m_timers) {
        if (timer->m_enabled && timer->m_due <= m_elapsed) {
            const std::int64_t interval =
                std::max(1, timer->m_intervalMs) * std::int64_t{1'000'000};
            // Timers of one interval that tie keep the order they had.
            timer->m_due += ((m_elapsed - timer->m_due) / interval + 1) * interval;
        }
    }
}

void SimulatedClock::advanceSeconds(double seconds) {
    advance(std::chrono::nanoseconds(
        static_cast<std::int64_t>(std::llround(seconds * kNanosPerSecond))));
}

void SimulatedClock::advanceTo(double secondsOfDay) {
    double step = secondsOfDay - now().secondsOfDay;
    if (step < 0) {
        step += 86400;
    }
    advanceSeconds(step);
}

}  // namespace dvx
