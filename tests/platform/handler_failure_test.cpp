// Timer handlers and sound-component callbacks that throw: the failure is shown and the
// program goes on, as it must with Qt, which does not let an exception leave a slot.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <stdexcept>

#include "common/simulated_clock.h"
#include "platform/audio_event_pump.h"
#include "platform/qt_clock.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(HandlerFailures, AThrowingTimerIsReportedAndEveryTimerGoesOnUnderTheProgramsClock) {
    QtClock clock;
    test::RecordingErrorReporter errors;
    clock.setFailureReporter(&errors);
    QEventLoop loop;
    int failingTicks = 0;
    int steadyTicks = 0;
    // Timers on the clock's shared beat and one with a Qt timer of its own.
    auto failing = clock.createTimer("tmrFailing", 25, [&] {
        ++failingTicks;
        throw std::runtime_error("Cannot read the status of the parallel port");
    });
    auto odd = clock.createTimer("tmrOdd", 5, [] { throw 42; });
    auto steady = clock.createTimer("tmrSteady", 25, [&] {
        if (++steadyTicks == 10) {
            loop.quit();
        }
    });
    for (Timer* timer : {failing.get(), odd.get(), steady.get()}) {
        timer->setEnabled(true);
    }
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);  // a hung loop fails, not blocks
    loop.exec();

    EXPECT_EQ(steadyTicks, 10);
    EXPECT_GE(failingTicks, 2);  // the failing timer itself keeps ticking
    EXPECT_TRUE(failing->isEnabled());
    ASSERT_FALSE(errors.messages.empty());
    EXPECT_EQ(std::count(errors.messages.begin(), errors.messages.end(),
                         "Cannot read the status of the parallel port"),
              failingTicks);
    EXPECT_NE(std::find(errors.messages.begin(), errors.messages.end(),
                        "An unknown failure occurred in tmrOdd."),
              errors.messages.end());
}

// A sound component whose event callback may fail.
struct Component : AudioEventSource {
    Component(int n, bool failing) : number(n), fails(failing) {}
    void dispatchEvents() override {
        ++events;
        if (fails) {
            throw std::runtime_error("player " + std::to_string(number) + " failed");
        }
    }
    bool wantsQuickEvents() const override { return true; }  // as a playing player
    int number;
    bool fails;
    int events = 0;
};

TEST(HandlerFailures, AFailingComponentDoesNotStarveTheOthersOfTheirEvents) {
    SimulatedClock clock(2026, 1, 5, 3600);
    Component first(1, true);
    Component second(2, false);
    Component third(3, true);

    // With the error window: every failure is shown, every component is asked each round.
    test::RecordingErrorReporter errors;
    {
        AudioEventPump pump(clock, &errors);
        for (Component* c : {&first, &second, &third}) {
            pump.add(*c);
        }
        clock.advance(std::chrono::milliseconds(3 * AudioEventPump::kIntervalMs));
    }
    EXPECT_EQ(second.events, 3);
    EXPECT_EQ(third.events, 3);
    EXPECT_EQ(errors.messages,
              (std::vector<std::string>{"player 1 failed", "player 3 failed", "player 1 failed",
                                        "player 3 failed", "player 1 failed", "player 3 failed"}));

    // Without one the round is finished first, then the first failure reaches the clock.
    AudioEventPump bare(clock);
    for (Component* c : {&first, &second, &third}) {
        bare.add(*c);
    }
    try {
        clock.advance(std::chrono::milliseconds(AudioEventPump::kIntervalMs));
        ADD_FAILURE() << "the failure did not reach the clock";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "player 1 failed");
    }
    EXPECT_EQ(second.events, 4);
    EXPECT_EQ(third.events, 4);
    // The pump still works after letting a failure out.
    first.fails = third.fails = false;
    clock.advance(std::chrono::milliseconds(AudioEventPump::kIntervalMs));
    EXPECT_EQ(second.events, 5);
}

}  // namespace
}  // namespace dvx
