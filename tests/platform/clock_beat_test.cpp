// The program's clock runs its timers of 25 ms and more on one shared beat.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/qt_clock.h"

namespace dvx {
namespace {

// Timers that come and go between beats (as a countdown restarted by each tick of a faster
// timer does) must neither hold the beat up nor make the others fire in bursts or too seldom.
TEST(ClockBeat, TimersKeepTheirPeriodsWhileOthersComeAndGoBetweenBeats) {
    QtClock clock;
    int fast = 0, medium = 0, slow = 0, guestTicks = 0;
    auto fastTimer = clock.createTimer("fast", 25, [&] { ++fast; });
    auto mediumTimer = clock.createTimer("medium", 50, [&] { ++medium; });
    auto slowTimer = clock.createTimer("slow", 100, [&] { ++slow; });
    std::unique_ptr<Timer> guest;
    auto churn = clock.createTimer("churn", 10, [&] {  // off the beat
        guest = clock.createTimer("guest", 40, [&] { ++guestTicks; });
        guest->setEnabled(true);
        mediumTimer->setEnabled(true);  // already running: changes nothing
    });
    for (Timer* timer : {fastTimer.get(), mediumTimer.get(), slowTimer.get(), churn.get()}) {
        timer->setEnabled(true);
    }
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();

    // A second's worth, give or take a beat a loaded machine may lose.
    EXPECT_LE(fast, 40);
    EXPECT_GE(fast, 20);
    EXPECT_LE(medium, 20);
    EXPECT_GE(medium, 10);
    EXPECT_LE(slow, 10);
    EXPECT_GE(slow, 5);
    EXPECT_EQ(guestTicks, 0);  // replaced before its 40 ms were up, every time
}

// An armed station's 100 ms and 200 ms timers start at different moments (the monitoring tick
// at arming, the clock at start-up); they must still fire on the same beats, or the main
// thread wakes twice as often as it needs to.
TEST(ClockBeat, TimersOfWholeTenthsShareTheirBeatsThoughStartedApart) {
    QtClock clock;
    std::vector<double> first, second, third;
    auto a = clock.createTimer("a", 100, [&] { first.push_back(clock.steadySeconds()); });
    auto b = clock.createTimer("b", 100, [&] { second.push_back(clock.steadySeconds()); });
    auto c = clock.createTimer("c", 200, [&] { third.push_back(clock.steadySeconds()); });
    a->setEnabled(true);
    QTimer::singleShot(50, [&] { b->setEnabled(true); });
    QTimer::singleShot(75, [&] { c->setEnabled(true); });
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();

    ASSERT_GE(second.size(), 5u);
    ASSERT_GE(third.size(), 2u);
    for (const std::vector<double>* ticks : {&second, &third}) {
        for (const double tick : *ticks) {
            const auto nearest = std::min_element(
                first.begin(), first.end(),
                [&](double x, double y) { return std::abs(x - tick) < std::abs(y - tick); });
            EXPECT_LT(std::abs(*nearest - tick), 0.002) << "a tick on a beat of its own";
        }
    }
}

}  // namespace
}  // namespace dvx
