#pragma once

#include <memory>
#include <vector>

#include "common/clock.h"

namespace dvx {

class ErrorReporter;

// A component whose audio thread leaves events behind in atomics (a playback that ended, a
// device that was lost, a mixer notification) and turns them into main-thread callbacks when
// asked.
class AudioEventSource {
  public:
    virtual ~AudioEventSource() = default;
    // Main thread, from the pump: delivers what happened since the last call.
    virtual void dispatchEvents() = 0;
    // True while its events steer what goes on next (a playback's end starts the next item, a
    // recording's peaks move its meter); a lost device alone can wait a little longer.
    virtual bool wantsQuickEvents() const { return false; }
};

// Carries the audio threads' events to the main thread: a clock timer asks every registered
// component, in the order they registered, to deliver its events: every 25 ms while one of
// them wants its events quickly, every 100 ms while none does (an armed station at rest). Callbacks
// therefore run on the main thread between other handlers, never inside a stream's callback and
// never inside the main-thread call (stop(), say) that caused them.
//
// A callback that throws does not keep the other components from their events: with a failure
// reporter (the error window) each failure's description is shown there and the round goes on;
// without one the round still ends and then lets the first failure out, to the clock (a test's
// simulated clock shows it to the test, the program's clock to the error window).
//
// Main thread only. Components add themselves when built and remove themselves when
// destroyed, so the pump must outlive them; a callback may destroy components.
class AudioEventPump {
  public:
    static constexpr int kIntervalMs = 25;  // one beat of the program's clock
    static constexpr int kIdleIntervalMs = 100;

    explicit AudioEventPump(Clock& clock, ErrorReporter* failures = nullptr);
    ~AudioEventPump();
    AudioEventPump(const AudioEventPump&) = delete;
    AudioEventPump& operator=(const AudioEventPump&) = delete;

    void add(AudioEventSource& source);
    void remove(AudioEventSource& source);

    // One round now (the timer does the same).
    void dispatchNow();
    // A component has started something whose events it wants quickly: the pump runs at its
    // quick pace from now on, until a round finds no component that wants it.
    void quicken();

  private:
    void choosePace();

    ErrorReporter* m_failures;
    std::vector<AudioEventSource*> m_sources;  // null where removed during a round
    bool m_dispatching = false;
    std::unique_ptr<Timer> m_timer;
};

}  // namespace dvx
