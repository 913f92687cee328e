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
};

// Carries the audio threads' events to the main thread: a clock timer asks every registered
// component, in the order they registered, to deliver its events. Callbacks therefore run on
// the main thread between other handlers, never inside a stream's callback and never inside
// the main-thread call (stop(), say) that caused them.
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

    explicit AudioEventPump(Clock& clock, ErrorReporter* failures = nullptr,
                            int intervalMs = kIntervalMs);
    ~AudioEventPump();
    AudioEventPump(const AudioEventPump&) = delete;
    AudioEventPump& operator=(const AudioEventPump&) = delete;

    void add(AudioEventSource& source);
    void remove(AudioEventSource& source);

    // One round now (the timer does the same).
    void dispatchNow();

  private:
    ErrorReporter* m_failures;
    std::vector<AudioEventSource*> m_sources;  // null where removed during a round
    bool m_dispatching = false;
    std::unique_ptr<Timer> m_timer;
};

}  // namespace dvx
