#pragma once

#include <memory>

#include "common/clock.h"

namespace dvx {

class ErrorReporter;

// The program's clock: the system's local time and Qt timers on the main thread. Timers of
// 25 ms and longer share one beat and may fire up to 25 ms after their interval; shorter ones
// keep their own precise Qt timer, which carries the timer's name as its object name.
//
// Qt does not let an exception leave a slot, so every tick runs inside a catch-all: a handler
// that throws has its failure's description shown through the failure reporter (the error
// window) and that handler alone ends; the timer and every other timer go on. Without a
// reporter the failure goes to the standard error stream. Main thread only.
class QtClock : public Clock {
  public:
    QtClock();
    ~QtClock() override;

    LocalDateTime now() const override;
    double steadySeconds() const override;
    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs,
                                       std::function<void()> onTick) override;

    // Where failing handlers are reported from now on, for the clock's timers made before and
    // after; null for none. The reporter must stay alive until it is replaced.
    void setFailureReporter(ErrorReporter* reporter);

  private:
    class QtTimer;
    struct FailureSink;
    struct Beat;
    // Shared with the timers, which may outlive us.
    std::shared_ptr<FailureSink> m_failures;
    std::shared_ptr<Beat> m_beat;
};

}  // namespace dvx
