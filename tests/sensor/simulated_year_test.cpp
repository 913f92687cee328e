// A whole year of programme feed with random silences, run through the monitoring tick and the
// clock schedule on a simulated clock that follows a real time zone. Every alarm and alarm end
// is compared with what the feed says it must be.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "sensor/alarm_rig.h"
#include "sensor/clock_schedule.h"

namespace dvx {
namespace {

using Nanos = std::int64_t;
constexpr Nanos kSecond = 1'000'000'000;
constexpr Nanos kBufferPeriod = 23'219'955;  // 1024 frames at 44.1 kHz
constexpr double kTolerance = 0.15;
constexpr double kAlarmEndDelay = 3.0;  // the alarm ends a little over 3 s after sound returns

double toSeconds(Nanos n) {
    return static_cast<double>(n) / kSecond;
}
Nanos toNanos(double seconds) {
    return static_cast<Nanos>(std::llround(seconds * kSecond));
}

// One station of the year: its zone, its settings and the hour of its daily timed stop and
// start. In Berlin that hour is the one the clock skips in spring and repeats in autumn; in
// New York the timed hour lies elsewhere, so that silences can run across the changes.
struct Station {
    const char* zone;
    std::int16_t deadAir;
    std::int16_t threshold;
    std::int32_t timedStop;
    std::int32_t timedStart;
    bool silencesAcrossClockChanges;
};

// The programme feed: one buffer every 23 ms from the start of the run, loud except in its
// silences. A buffer's peaks come from its number, so a year of feed costs no memory.
class Feed {
  public:
    struct Silence {
        std::int64_t first;  // the first silent buffer
        std::int64_t end;    // the first loud buffer after it
    };

    Feed(std::vector<Silence> silences, std::int16_t threshold)
        : m_silences(std::move(silences)), m_threshold(threshold) {}

    static Nanos time(std::int64_t buffer) { return buffer * kBufferPeriod; }
    static std::int64_t bufferAtOrAfter(Nanos t) { return (t + kBufferPeriod - 1) / kBufferPeriod; }
    const std::vector<Silence>& silences() const { return m_silences; }

    // Loud buffers have one peak above the threshold; silent ones two of equal magnitude at or
    // below it (so their bitwise OR is too), now and then a peak of -32768.
    std::pair<std::int16_t, std::int16_t> peaks(std::int64_t buffer) const {
        std::uint64_t hash = static_cast<std::uint64_t>(buffer) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
        const int sign = (hash & 1U) != 0 ? -1 : 1;
        if (!silent(buffer)) {
            const auto above = static_cast<int>((hash >> 8) % (32767U - m_threshold));
            return {static_cast<std::int16_t>(sign * (m_threshold + 1 + above)),
                    static_cast<std::int16_t>((hash >> 40) % 32768)};
        }
        if (hash % 97 == 0) {
            return {INT16_MIN, 0};
        }
        const auto level = static_cast<std::int16_t>((hash >> 8) % (m_threshold + 1));
        return {static_cast<std::int16_t>(sign * level), level};
    }

  private:
    bool silent(std::int64_t buffer) const {
        while (m_cursor < m_silences.size() && m_silences[m_cursor].end <= buffer) {
            ++m_cursor;  // buffers are asked for in order
        }
        return m_cursor < m_silences.size() && m_silences[m_cursor].first <= buffer;
    }

    std::vector<Silence> m_silences;
    std::int16_t m_threshold;
    mutable std::size_t m_cursor = 0;
};

// The monitoring tick and the clock schedule on one station's clock.
struct YearRig : test::AlarmRig {
    YearRig(const Station& station, int month, int day, double secondsOfDay)
        : AlarmRig(station.zone, 2027, month, day, secondsOfDay) {
        parameters.DeadAirSeconds = station.deadAir;
        parameters.Threshold = station.threshold;
        parameters.AlarmOnly = true;
        parameters.EmailOnAlarm = 1;
        parameters.PageOnAlarm = 1;
        parameters.WeeklyTest = 1;
        for (std::size_t day = 1; day <= 7; ++day) {
            parameters.TimedDayEnabled[day] = 1;
            parameters.TimedStop[day] = station.timedStop;
            parameters.TimedStart[day] = station.timedStart;
            parameters.AltDayEnabled[day] = 1;
            parameters.AltStart[day] = 14 * 3600;
            parameters.AltStop[day] = 18 * 3600 + 1800;
        }
    }
    ClockSchedule schedule{clock, engine, parameters, Facility, log, notifier, view, {}};
};

// Whether the local times the clock reads between two moments come within a second of a
// daily span of seconds; a stretch with a change of the clock counts as touching everything.
bool touchesDaily(const SimulatedClock& clock, Nanos from, Nanos to, double spanFrom,
                  double spanTo) {
    const double localFrom = continuousSeconds(clock.at(from));
    const double localTo = continuousSeconds(clock.at(to));
    if (std::fabs(localTo - localFrom - toSeconds(to - from)) > 0.001) {
        return true;
    }
    for (double day = std::floor(localFrom / 86400) - 1; day * 86400 <= localTo; ++day) {
        if (day * 86400 + spanFrom - 1 <= localTo && day * 86400 + spanTo + 1 >= localFrom) {
            return true;
        }
    }
    return false;
}

// The moments the clock is set forward or back, to the second.
std::vector<Nanos> clockChanges(const SimulatedClock& clock, Nanos end) {
    std::vector<Nanos> changes;
    const auto jumps = [&](Nanos a, Nanos b) {
        return std::fabs(continuousSeconds(clock.at(b)) - continuousSeconds(clock.at(a)) -
                         toSeconds(b - a)) > 0.5;
    };
    for (Nanos hour = 0; hour < end; hour += 3600 * kSecond) {
        Nanos before = hour;
        Nanos after = hour + 3600 * kSecond;
        if (!jumps(before, after)) {
            continue;
        }
        while (after - before > kSecond) {
            const Nanos middle = before + (after - before) / 2 / kSecond * kSecond;
            (jumps(before, middle) ? after : before) = middle;
        }
        changes.push_back(after);
    }
    return changes;
}

// The year's silences: random ones (half of them dips just under the delay, the others from
// half a second to ten minutes), and some across midnight, the year's end, a change of the
// alternate program, the weekly tests and the changes of the clock. None comes near the timed
// stop and start, and each is either clearly long enough for an alarm or clearly not.
std::vector<Feed::Silence> yearOfSilences(const SimulatedClock& clock, const Station& station,
                                          Nanos end) {
    std::mt19937_64 random(20270101);
    const auto uniform = [&](double low, double high) {
        return low + (high - low) * static_cast<double>(random() >> 11) * 0x1.0p-53;
    };
    const double delay = station.deadAir;
    const auto length = [&] {
        return random() % 2 == 0 ? uniform(std::max(0.5, delay - 0.6), delay - 0.05)
                                 : std::exp(uniform(std::log(0.5), std::log(600.0)));
    };
    std::map<Nanos, Nanos> kept;  // from -> to
    const auto add = [&](Nanos from, Nanos to) {
        const auto next = kept.lower_bound(from);
        const bool clearOfNext = next == kept.end() || to + 6 * kSecond <= next->first;
        const bool clearOfPrevious =
            next == kept.begin() || std::prev(next)->second + 6 * kSecond <= from;
        if (from < 30 * kSecond || to + 30 * kSecond > end || !clearOfNext || !clearOfPrevious ||
            touchesDaily(clock, from - 2 * kSecond, to + 6 * kSecond, station.timedStop,
                         station.timedStart)) {
            return;
        }
        const double span = toSeconds(Feed::time(Feed::bufferAtOrAfter(to)) -
                                      Feed::time(Feed::bufferAtOrAfter(from) - 1));
        if (span <= delay - 0.02 || span >= delay + kTolerance) {
            kept.emplace(from, to);
        }
    };
    const auto across = [&](Nanos moment, double seconds) {
        const Nanos from = moment - toNanos(uniform(0.2, seconds - 0.2));
        add(from, from + toNanos(seconds));
    };
    for (const Nanos change : clockChanges(clock, end)) {
        if (station.silencesAcrossClockChanges) {
            across(change, uniform(delay + 1, 600));
            const Nanos soundBack = change - toNanos(1.5);  // the alarm ends across the change
            add(soundBack - toNanos(uniform(delay + 1, 600)), soundBack);
            across(change + 60 * kSecond, delay - 0.3);
        }
    }
    using namespace std::chrono;
    for (sys_days day = 2027y / January / 1; day <= 2027y / December / 31; day += days{1}) {
        const year_month_day date{day};
        const year_month_day next{day + days{1}};
        const auto elapsedAt = [&](const year_month_day& on, double secondsOfDay) {
            return clock.elapsedAt(static_cast<int>(on.year()),
                                   static_cast<int>(unsigned(on.month())),
                                   static_cast<int>(unsigned(on.day())), secondsOfDay);
        };
        const auto index = day.time_since_epoch().count();
        const weekday dayOfWeek{day};
        if (index % 5 == 0 || day == 2027y / December / 31) {
            across(elapsedAt(next, 0), length());
        }
        if (index % 7 == 3) {
            across(elapsedAt(date, 14 * 3600), length());
        } else if (index % 7 == 5) {
            across(elapsedAt(date, 18 * 3600 + 1800), length());
        }
        if (index % 14 < 7 && dayOfWeek == Monday) {
            across(elapsedAt(date, 8 * 3600), uniform(delay + 1, 600));
        } else if (index % 14 < 7 && dayOfWeek == Tuesday) {
            across(elapsedAt(date, 8 * 3600 + 60), uniform(delay + 1, 600));
        }
    }
    for (Nanos t = 60 * kSecond; t < end; t += toNanos(uniform(60, 3 * 3600))) {
        add(t, t + toNanos(length()));
    }
    std::vector<Feed::Silence> silences;
    for (const auto& [from, to] : kept) {
        silences.push_back({Feed::bufferAtOrAfter(from), Feed::bufferAtOrAfter(to)});
    }
    return silences;
}

// Feeds the year to the rig. Around every silence, and wherever a timed action, a weekly test
// or a change of the clock falls, every buffer and every tick runs. Across the long loud (or
// disarmed) stretches between them the clock leaps: there each tick of the monitoring timer
// finds sound in the last buffer and no alarm, fill or fade, so it only writes the same
// "00:00" again, and each clock tick only shows the time, as no scheduled second falls within.
// Skipping such ticks changes no state; the ticks after a leap run in full and see the buffer
// delivered at its landing, so the silence clock stands where it would have stood.
class YearDriver {
  public:
    // Without `leaps` every buffer and tick of the stretches runs too.
    YearDriver(YearRig& rig, const Feed& feed, const Station& station, bool leaps)
        : m_rig(rig),
          m_feed(feed),
          m_leaps(leaps),
          m_scheduled{double(station.timedStop), double(station.timedStart), 8 * 3600.0,
                      8 * 3600.0 + 60} {}

    // Every buffer up to `until`, with every tick between them.
    void play(Nanos until) {
        for (Nanos t = Feed::time(m_next); t <= until; t = Feed::time(++m_next)) {
            advanceTo(t);
            const auto [left, right] = m_feed.peaks(m_next);
            m_rig.levels.onBuffer(left, right);
        }
        advanceTo(until);
    }

    // A stretch up to `until` in which the feed is loud: leaps where nothing can happen.
    void pass(Nanos until) {
        constexpr Nanos kStep = 30 * kSecond;
        for (Nanos now = m_rig.clock.elapsedNanoseconds(); now < until;
             now = m_rig.clock.elapsedNanoseconds()) {
            const std::int64_t landingBuffer = std::min(until, now + kStep) / kBufferPeriod;
            const Nanos landing = Feed::time(landingBuffer);
            if (m_leaps && landing > now + kSecond && quiet() &&
                std::none_of(m_scheduled.begin(), m_scheduled.end(), [&](double second) {
                    return touchesDaily(m_rig.clock, now - 5 * kSecond, landing + 5 * kSecond,
                                        second, second);
                })) {
                m_rig.clock.leap(std::chrono::nanoseconds(landing - now));
                m_leapt += landing - now;
                m_next = landingBuffer;
                m_rig.view.silence.clear();
            }
            play(std::min(until, now + kStep));
        }
    }

    double playedHours() const { return toSeconds(m_played) / 3600; }
    double leaptHours() const { return toSeconds(m_leapt) / 3600; }

  private:
    bool quiet() const {
        const SensorState& state = m_rig.engine.state();
        return state.FillEnded && !state.StopFillOutputs && !m_rig.engine.Timer2().isEnabled() &&
               !state.AlarmActive &&
               (!state.SensorRunning || m_rig.engine.secondsSinceSound() < 0.5);
    }
    void advanceTo(Nanos t) {
        const Nanos step = t - m_rig.clock.elapsedNanoseconds();
        m_rig.clock.advance(std::chrono::nanoseconds(step));
        m_played += step;
    }

    YearRig& m_rig;
    const Feed& m_feed;
    bool m_leaps;
    std::vector<double> m_scheduled;
    std::int64_t m_next = 0;
    Nanos m_played = 0;
    Nanos m_leapt = 0;
};

struct Verdict {
    int silences = 0;  // long enough for an alarm
    int dips = 0;
    int alarms = 0;
    int falseAlarms = 0;
    int missed = 0;
    int late = 0;  // alarms or ends outside the tolerance
    double worstAlarm = 0;
    double worstEnd = 0;
};

// Each alarm must begin within the tolerance after the delay has passed since the last loud
// buffer, and end within it after 3 s have passed since the first loud buffer after it.
Verdict judge(const Feed& feed, const YearRig& rig, double delay) {
    Verdict verdict;
    verdict.alarms = static_cast<int>(rig.alarmBegins.size());
    std::vector<bool> explained(rig.alarmBegins.size(), false);
    for (const Feed::Silence& silence : feed.silences()) {
        const Nanos lastLoud = Feed::time(silence.first - 1);
        const Nanos soundBack = Feed::time(silence.end);
        const bool due = toSeconds(soundBack - lastLoud) >= delay;
        ++(due ? verdict.silences : verdict.dips);
        const auto first =
            std::upper_bound(rig.alarmBegins.begin(), rig.alarmBegins.end(), lastLoud);
        const auto last = std::upper_bound(first, rig.alarmBegins.end(), soundBack);
        for (auto alarm = first; alarm != last; ++alarm) {
            explained[static_cast<std::size_t>(alarm - rig.alarmBegins.begin())] = true;
        }
        if (!due || first == last) {
            verdict.falseAlarms += static_cast<int>(last - first);
            verdict.missed += due && first == last ? 1 : 0;
            continue;
        }
        verdict.falseAlarms += static_cast<int>(last - first) - 1;
        const double latency = toSeconds(*first - lastLoud) - delay;
        const auto index = static_cast<std::size_t>(first - rig.alarmBegins.begin());
        const double endLatency = index < rig.alarmEnds.size()
                                      ? toSeconds(rig.alarmEnds[index] - soundBack) - kAlarmEndDelay
                                      : 1e9;
        verdict.worstAlarm = std::max(verdict.worstAlarm, std::fabs(latency));
        verdict.worstEnd = std::max(verdict.worstEnd, std::fabs(endLatency));
        verdict.late +=
            latency < 0 || latency > kTolerance || endLatency <= 0 || endLatency > kTolerance ? 1
                                                                                              : 0;
    }
    verdict.falseAlarms += static_cast<int>(std::count(explained.begin(), explained.end(), false));
    return verdict;
}

// The days of 2027 whose alarm log does not hold exactly one timed start and one timed stop,
// and the weekly tests that went out other than once every Monday (e-mail) and Tuesday (page).
struct ScheduleCount {
    std::vector<std::string> badDays;
    int mondays = 0;
    int tuesdays = 0;
    int emailTests = 0;
    std::set<std::string> emailTestDates;
    int pageTests = 0;
};

ScheduleCount countSchedule(const YearRig& rig) {
    ScheduleCount count;
    using namespace std::chrono;
    for (sys_days day = 2027y / January / 1; day <= 2027y / December / 31; day += days{1}) {
        const year_month_day date{day};
        const std::string text = test::fileText(rig.log.dailyFile(
            static_cast<int>(date.year()), static_cast<int>(unsigned(date.month())),
            static_cast<int>(unsigned(date.day()))));
        const auto lines = [&](const std::string& what) {
            std::size_t found = 0;
            for (std::size_t at = text.find(" " + what + "\r\n"); at != std::string::npos;
                 at = text.find(" " + what + "\r\n", at + 1)) {
                ++found;
            }
            return found;
        };
        if (lines("Timed Start Sensor") != 1 || lines("Timed Stop Sensor") != 1) {
            count.badDays.push_back(std::to_string(unsigned(date.month())) + "/" +
                                    std::to_string(unsigned(date.day())));
        }
        count.mondays += weekday{day} == Monday ? 1 : 0;
        count.tuesdays += weekday{day} == Tuesday ? 1 : 0;
    }
    for (const std::string& mail : rig.notifier.emails) {
        if (mail.ends_with(" 08:00:00 Dorvex Weekly Test")) {
            ++count.emailTests;
            count.emailTestDates.insert(mail);
        }
    }
    count.pageTests =
        static_cast<int>(std::count(rig.notifier.pages.begin(), rig.notifier.pages.end(), 11));
    return count;
}

const Station kStations[] = {
    {"Europe/Berlin", 10, 100, 2 * 3600 + 600, 2 * 3600 + 2400, false},
    {"America/New_York", 4, 3000, 3 * 3600 + 1800, 3 * 3600 + 3000, true},
};

// The station armed from the start of its clock, fed its silences up to `end`.
void runFeed(YearRig& rig, const Feed& feed, YearDriver& driver, Nanos end) {
    ASSERT_TRUE(rig.engine.StartSensor());
    for (const Feed::Silence& silence : feed.silences()) {
        driver.pass(Feed::time(silence.first) - 3 * kSecond);
        driver.play(Feed::time(silence.end) + 8 * kSecond);
    }
    driver.pass(end);
}

TEST(SimulatedYear, EveryAlarmAndAlarmEndOnTimeWithTheScheduleOnceADayInTwoZones) {
    std::printf("%-17s %8s %5s %6s %5s %6s %12s %10s %9s %8s\n", "zone", "silences", "dips",
                "alarms", "false", "missed", "worst alarm", "worst end", "played h", "leapt h");
    for (const Station& station : kStations) {
        SCOPED_TRACE(station.zone);
        YearRig rig(station, 1, 1, 0);
        const Nanos end = rig.clock.elapsedAt(2028, 1, 1, 300);
        ASSERT_EQ(clockChanges(rig.clock, end).size(), 2U);
        const Feed feed(yearOfSilences(rig.clock, station, end), station.threshold);
        YearDriver driver(rig, feed, station, true);
        runFeed(rig, feed, driver, end);
        EXPECT_EQ(rig.clock.now().year, 2028);

        const Verdict verdict = judge(feed, rig, station.deadAir);
        std::printf("%-17s %8d %5d %6d %5d %6d %10.3f s %8.3f s %9.1f %8.1f\n", station.zone,
                    verdict.silences, verdict.dips, verdict.alarms, verdict.falseAlarms,
                    verdict.missed, verdict.worstAlarm, verdict.worstEnd, driver.playedHours(),
                    driver.leaptHours());
        EXPECT_GT(verdict.silences, 1000);
        EXPECT_GT(verdict.dips, 1000);
        EXPECT_EQ(verdict.falseAlarms, 0);
        EXPECT_EQ(verdict.missed, 0);
        EXPECT_EQ(verdict.late, 0);
        EXPECT_EQ(rig.alarmEnds.size(), rig.alarmBegins.size());

        const ScheduleCount schedule = countSchedule(rig);
        EXPECT_EQ(schedule.badDays, std::vector<std::string>{});
        EXPECT_EQ(schedule.emailTests, schedule.mondays);
        EXPECT_EQ(static_cast<int>(schedule.emailTestDates.size()), schedule.mondays);
        EXPECT_EQ(schedule.pageTests, schedule.tuesdays);
    }
}

// The leaps change nothing: a day and a half around Berlin's spring change, with its timed stop
// and start in the skipped hour, gives the same alarms, ends, logs and notices without them.
TEST(SimulatedYear, LeapingOverTheLoudStretchesChangesNothing) {
    const Station& berlin = kStations[0];
    struct Outcome {
        std::vector<std::int64_t> begins;
        std::vector<std::int64_t> ends;
        std::vector<std::string> logs;
        std::vector<std::string> emails;
        std::vector<int> pages;
    };
    std::vector<Outcome> outcomes;
    for (const bool leaps : {true, false}) {
        YearRig rig(berlin, 3, 27, 18 * 3600);
        const Nanos end = rig.clock.elapsedAt(2027, 3, 29, 6 * 3600);
        const Feed feed(yearOfSilences(rig.clock, berlin, end), berlin.threshold);
        YearDriver driver(rig, feed, berlin, leaps);
        runFeed(rig, feed, driver, end);
        Outcome outcome{
            rig.alarmBegins, rig.alarmEnds, {}, rig.notifier.emails, rig.notifier.pages};
        for (const int day : {27, 28, 29}) {
            outcome.logs.push_back(test::fileText(rig.log.dailyFile(2027, 3, day)));
        }
        outcomes.push_back(outcome);
    }
    EXPECT_GE(outcomes[0].begins.size(), 5U);
    EXPECT_EQ(outcomes[0].begins, outcomes[1].begins);
    EXPECT_EQ(outcomes[0].ends, outcomes[1].ends);
    EXPECT_EQ(outcomes[0].logs, outcomes[1].logs);
    EXPECT_EQ(outcomes[0].emails, outcomes[1].emails);
    EXPECT_EQ(outcomes[0].pages, outcomes[1].pages);
}

}  // namespace
}  // namespace dvx
