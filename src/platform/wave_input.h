#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/callback_slots.h"
#include "platform/level_tap.h"
#include "platform/sample_ring.h"
#include "platform/stream_component.h"
#include "platform/wave_helper.h"

namespace dvx {

// One captured buffer as the capture hands it on.
struct CapturedBuffer {
    const std::int16_t* samples = nullptr;
    int frames = 0;
    int channels = 2;
    Peaks peaks;  // `PeakLeft`, `PeakRight`
};

// Runs on the capture's callback thread for every buffer: the place for a per-buffer level
// test. It must not block, allocate, lock, log or touch Qt. Of the Clock it may read only
// steadySeconds(); results go to the main thread through atomics (the time of the last loud
// buffer, say).
class CaptureObserver {
  public:
    virtual ~CaptureObserver() = default;
    virtual void onBuffer(const CapturedBuffer& buffer) noexcept = 0;
};

// Who wants a capture running. A capture device takes one stream at a time on most Linux
// sound stacks, so the sensor and a recording of the same device share one capture, which runs
// while either of them wants it: arming or disarming the sensor never cuts a recording, and the
// end of a recording never stops the sensor's capture. The main window's input meters want it
// for the whole run, armed or not.
enum class CaptureUser { Monitor, Recorder, Meters };

// The capture (`WaveIn`): opens an input device and, for every captured buffer on the
// callback thread, computes the peaks (`WaveHelper`), publishes them, feeds the level tap
// (`MMConnectorX1`), the ring buffer (`MMRingBufferX1`; a full ring drops the buffer) and the
// further sinks (a recorder's file sink), then calls the observers (the level test, a
// recorder's peaks). Sinks and observers sit in a few fixed slots each.
//
// Threads: every public function on the main thread, except lastPeaks() and bufferCount(),
// which any thread may call. The tap and the ring may change while the stream runs, but
// whatever was connected while it ran must live until it is stopped; a sink or observer may be
// destroyed as soon as its removal returns.
class WaveInput : public StreamComponent, private CaptureSink {
  public:
    static constexpr std::size_t kSlots = 4;

    WaveInput(AudioBackend& backend, AudioEventPump& pump);
    ~WaveInput() override;

    void setChannels(int channels) { m_channels = channels == 1 ? 1 : 2; }
    int channels() const { return m_channels; }
    void setTap(LevelTap* tap) { m_tap.store(tap); }
    void setRing(SampleRing* ring) { m_ring.store(ring); }
    // Throw AudioError when every slot is taken.
    void addSink(CaptureSink& sink);
    void addObserver(CaptureObserver& observer);
    void removeSink(CaptureSink& sink) { m_sinks.remove(&sink); }
    void removeObserver(CaptureObserver& observer) { m_observers.remove(&observer); }

    void open();  // throws AudioError
    // `user` wants the capture running: opens and starts it when needed. Throws AudioError,
    // leaving the user's wish in place (restart() and the health watch try again) until the
    // user stops or closes. Recorders are counted: each start is ended by one close.
    void start(CaptureUser user = CaptureUser::Monitor);
    // `user` no longer wants it: it stops (or closes) once nobody does.
    void stop(CaptureUser user = CaptureUser::Monitor);
    void close(CaptureUser user = CaptureUser::Monitor);
    void restart() override;
    bool isOpen() const { return m_slot.isOpen(); }

    Peaks lastPeaks() const noexcept;
    std::uint64_t bufferCount() const noexcept { return m_buffers.load(std::memory_order_relaxed); }

  private:
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;
    void drop(CaptureUser user);

    int m_channels = 2;
    bool m_monitor = false;  // the sensor wants it
    bool m_meters = false;   // the input meters want it
    int m_recorders = 0;     // recordings that want it
    std::atomic<LevelTap*> m_tap{nullptr};
    std::atomic<SampleRing*> m_ring{nullptr};
    CallbackSlots<CaptureSink, kSlots> m_sinks;
    CallbackSlots<CaptureObserver, kSlots> m_observers;
    std::atomic<std::uint32_t> m_peaks{0};  // left in the high half, right in the low half
    std::atomic<std::uint64_t> m_buffers{0};
};

}  // namespace dvx
