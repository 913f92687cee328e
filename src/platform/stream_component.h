#pragma once

#include <functional>

#include "platform/audio_event_pump.h"
#include "platform/stream_slot.h"

namespace dvx {

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
    // Runs on the main thread, from the event pump, once when the device is lost; the stream
    // is closed then.
    void setOnDeviceFailed(std::function<void()> callback) {
        m_onDeviceFailed = std::move(callback);
    }
    bool isRunning() const { return m_slot.isRunning(); }

  protected:
    StreamComponent(AudioBackend& backend, AudioEventPump& pump);
    ~StreamComponent() override;

    // From dispatchEvents(): true once when the device has been lost, after the callback ran.
    bool takeDeviceFailure();

    StreamSlot m_slot;
    int m_device = 0;

  private:
    AudioEventPump& m_pump;
    std::function<void()> m_onDeviceFailed;
};

}  // namespace dvx
