// The program's clock runs its timers of 25 ms and more on one shared beat.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <memory>

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

}  // namespace
}  // namespace dvx
