#include "common/simulated_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace dvx {
namespace {

TEST(SimulatedClock, CalendarAndWeekdayFollowTheSimulatedTime) {
    SimulatedClock clock(2005, 12, 4, 86399.5);  // a Sunday, half a second before midnight
    EXPECT_EQ(clock.now().weekday, 1);
    clock.advanceSeconds(1.0);
    const LocalDateTime t = clock.now();
    EXPECT_EQ(t.year, 2005);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.weekday, 2);
    EXPECT_NEAR(t.secondsOfDay, 0.5, 1e-9);
    EXPECT_NEAR(clock.steadySeconds(), 1.0, 1e-9);

    SimulatedClock yearEnd(2026, 12, 31, 86000);
    yearEnd.advanceTo(10);
    EXPECT_EQ(yearEnd.now().year, 2027);
    EXPECT_EQ(yearEnd.now().month, 1);
    EXPECT_EQ(yearEnd.now().day, 1);
}

TEST(SimulatedClock, FollowsTheChangesOfTheClockOfATimeZone) {
    constexpr std::int64_t kHour = 3'600'000'000'000;
    // Berlin sets its clock forward at 02:00 on 28 March 2027 and back at 03:00 on 31 October.
    SimulatedClock berlin("Europe/Berlin", 2027, 3, 28, 2 * 3600 - 0.5);
    berlin.advanceSeconds(1);
    EXPECT_NEAR(berlin.now().secondsOfDay, 3 * 3600 + 0.5, 1e-9);
    EXPECT_EQ(berlin.elapsedAt(2027, 3, 28, 2.5 * 3600), berlin.elapsedAt(2027, 3, 28, 3 * 3600));
    const std::int64_t firstHalfPastTwo = berlin.elapsedAt(2027, 10, 31, 2.5 * 3600);
    EXPECT_NEAR(berlin.at(firstHalfPastTwo + kHour).secondsOfDay, 2.5 * 3600, 1e-9);
    EXPECT_NEAR(berlin.at(firstHalfPastTwo + 2 * kHour).secondsOfDay, 3.5 * 3600, 1e-9);
    // New York repeats the hour from 01:00 on 7 November 2027.
    SimulatedClock newYork("America/New_York", 2027, 11, 1, 12 * 3600);
    EXPECT_NEAR(newYork.at(newYork.elapsedAt(2027, 11, 7, 1.5 * 3600) + kHour).secondsOfDay,
                1.5 * 3600, 1e-9);
    EXPECT_THROW(SimulatedClock("Nowhere/Atlantis", 2027, 1, 1, 0), std::invalid_argument);
}

TEST(SimulatedClock, TimersRunInTimeOrderWithTheClockAtTheirDueTime) {
    SimulatedClock clock(2026, 1, 1, 0);
    std::vector<std::string> ticks;
    auto fast = clock.createTimer("fast", 100, [&] {
        ticks.push_back("fast@" +
                        std::to_string(static_cast<int>(clock.steadySeconds() * 1000 + 0.5)));
    });
    auto slow = clock.createTimer("slow", 250, [&] {
        ticks.push_back("slow@" +
                        std::to_string(static_cast<int>(clock.steadySeconds() * 1000 + 0.5)));
    });
    fast->setEnabled(true);
    slow->setEnabled(true);
    clock.advanceSeconds(0.5);
    EXPECT_EQ(ticks, (std::vector<std::string>{"fast@100", "fast@200", "slow@250", "fast@300",
                                               "fast@400", "slow@500", "fast@500"}));
}

TEST(SimulatedClock, HandlersMayDisableReEnableAndDestroyTimers) {
    SimulatedClock clock(2026, 1, 1, 0);
    int aTicks = 0;
    int bTicks = 0;
    std::unique_ptr<Timer> b;
    auto a = clock.createTimer("a", 100, [&] {
        if (++aTicks == 2) {
            b.reset();  // destroyed from inside another timer's handler
        }
    });
    b = clock.createTimer("b", 100, [&] { ++bTicks; });
    a->setEnabled(true);
    b->setEnabled(true);
    clock.advanceSeconds(1.0);
    EXPECT_EQ(aTicks, 10);
    EXPECT_EQ(bTicks, 1);

    int once = 0;
    std::unique_ptr<Timer> oneShot;
    oneShot = clock.createTimer("once", 50, [&] {
        ++once;
        oneShot->setEnabled(false);
    });
    oneShot->setEnabled(true);
    clock.advanceSeconds(1.0);
    EXPECT_EQ(once, 1);

    // Asking again for a countdown that runs does not restart it.
    int countdown = 0;
    auto reboot = clock.createTimer("countdown", 5000, [&] { ++countdown; });
    for (int tick = 0; tick < 60; ++tick) {
        reboot->setEnabled(true);
        clock.advanceSeconds(0.1);
    }
    EXPECT_EQ(countdown, 1);
    EXPECT_FALSE(oneShot->isEnabled());
}

TEST(SimulatedClock, AFailingHandlerStopsTheAdvanceAtItsTickAndTheClockGoesOnFromThere) {
    SimulatedClock clock(2026, 1, 1, 0);
    int ticks = 0;
    auto failing = clock.createTimer("failing", 100, [&] {
        if (++ticks == 2) {
            throw std::runtime_error("tick failed");
        }
    });
    failing->setEnabled(true);
    EXPECT_THROW(clock.advanceSeconds(1.0), std::runtime_error);
    EXPECT_NEAR(clock.steadySeconds(), 0.2, 1e-9);  // where the failure happened
    clock.advanceSeconds(0.8);
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(clock.timerNames(), std::vector<std::string>{"failing"});
}

}  // namespace
}  // namespace dvx
