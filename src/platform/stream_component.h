#pragma once

#include <cstdint>
#include <functional>

#include "platform/audio_event_pump.h"
#include "platform/stream_slot.h"

namespace dvx {

// How a component's device stream fares, for the audio-health watch.
struct StreamHealth {
    // The program has it running: started and not stopped since, whatever became of its stream
    // (a lost device leaves it wanted, so it can be started again when the device is back).
    bool wanted = false;
    bool running = false;        // its stream runs now
    std::uint64_t failures = 0;  // its device went away, stalled or refused to open, in all
    StreamStats stats;           // over every stream it has had
    bool callsBack = true;       // its stream has callbacks to watch (see AudioStream)
};

// What every component with one device stream shares: the stream's slot, the device it opens,
// its place in the event pump and the lost-device callback.
//
// Threads: main thread only. A derived class closes the stream in its own destructor, before
// its members go, since the stream's callback may use them.
class StreamComponent : protected AudioEventSource {
  public:
    StreamComponent(const StreamComponent&) = delete;
    StreamComponent& operator=(const StreamComponent&) = delete;

    void setDevice(int device) { m_device = device; }  // used when the stream is next opened
    int device() const { return m_device; }
    bool isInput() const { return m_isInput; }
    // Runs on the main thread, from the event pump, once when the device is lost; the stream
    // is closed then.
    void setOnDeviceFailed(std::function<void()> callback) {
        m_onDeviceFailed = std::move(callback);
    }
    bool isRunning() const { return m_slot.isRunning(); }

    StreamHealth health() const {
        return {m_wanted, m_slot.isRunning(), m_slot.failures(), m_slot.stats(),
                m_slot.callsBack()};
    }
    // Its callbacks have stopped coming: at the next round of the event pump the stream is
    // closed and handled as on a lost device.
    void declareStalled() { m_slot.declareFailed(); }
    // Starts again what the program wants running after its device was lost (nothing for a
    // component that is not wanted). Throws AudioError while the device is still away.
    virtual void restart() {}

  protected:
    StreamComponent(AudioBackend& backend, AudioEventPump& pump, bool isInput);
    ~StreamComponent() override;

    // From dispatchEvents(): true once when the device has been lost, after the callback ran.
    bool takeDeviceFailure();
    // A running output's events (its playback ended, its fill finished) steer what plays next.
    bool wantsQuickEvents() const override { return !m_isInput && m_slot.isRunning(); }
    // Call after starting the stream: its events are wanted quickly from now on.
    void expectEvents() { m_pump.quicken(); }

    StreamSlot m_slot;
    int m_device = 0;
    bool m_wanted = false;  // set by the derived class's start and stop

  private:
    AudioEventPump& m_pump;
    const bool m_isInput;
    std::function<void()> m_onDeviceFailed;
};

}  // namespace dvx
