#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

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

// The capture (`WaveIn`): opens an input device and, for every captured buffer on the
// callback thread, computes the peaks (`WaveHelper`), publishes them, feeds the level tap
// (`MMConnectorX1`), the ring buffer (`MMRingBufferX1`; a full ring drops the buffer) and a
// further sink (a recorder's file sink), then calls the observer.
//
// Threads: every public function on the main thread, except lastPeaks() and bufferCount(),
// which any thread may call. Connections may change while the stream runs, but whatever was
// connected while it ran must live until it is stopped.
class WaveInput : public StreamComponent, private CaptureSink {
  public:
    WaveInput(AudioBackend& backend, AudioEventPump& pump);
    ~WaveInput() override;

    void setChannels(int channels) { m_channels = channels == 1 ? 1 : 2; }
    int channels() const { return m_channels; }
    void setTap(LevelTap* tap) { m_tap.store(tap); }
    void setRing(SampleRing* ring) { m_ring.store(ring); }
    void setSink(CaptureSink* sink) { m_sink.store(sink); }
    void setObserver(CaptureObserver* observer) { m_observer.store(observer); }

    void open();   // throws AudioError
    void start();  // opens first when needed; throws AudioError
    void stop();
    void close();
    void restart() override;
    bool isOpen() const { return m_slot.isOpen(); }

    Peaks lastPeaks() const noexcept;
    std::uint64_t bufferCount() const noexcept { return m_buffers.load(std::memory_order_relaxed); }

  private:
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override;
    void dispatchEvents() override;

    int m_channels = 2;
    std::atomic<LevelTap*> m_tap{nullptr};
    std::atomic<SampleRing*> m_ring{nullptr};
    std::atomic<CaptureSink*> m_sink{nullptr};
    std::atomic<CaptureObserver*> m_observer{nullptr};
    std::atomic<std::uint32_t> m_peaks{0};  // left in the high half, right in the low half
    std::atomic<std::uint64_t> m_buffers{0};
};

}  // namespace dvx
